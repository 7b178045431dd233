#include "ui/transfer/CProgressWnd.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QMainWindow>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QStyle>
#include <QTimer>
#include <QWindow>

#include <algorithm>

namespace {
// The same profile the application keeps its recent files in.
QSettings Profile() {
    return QSettings(QStringLiteral("Tavik"), QStringLiteral("Tavik Programmer"));
}

// The application's main window: the visible main window, else the active window.
QWidget* FindMainWindow() {
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (qobject_cast<QMainWindow*>(widget) && widget->isVisible()) return widget;
    return QApplication::activeWindow();
}
} // namespace

CProgressWnd::CProgressWnd() : QWidget(nullptr) {}

CProgressWnd::CProgressWnd(QWidget* parent, const QString& title, bool smooth) : QWidget(nullptr) {
    Create(parent, title, smooth);
}

CProgressWnd::~CProgressWnd() {
    if (m_bCreated) DestroyWindow();
}

bool CProgressWnd::Create(QWidget* parent, const QString& title, bool smooth) {
    if (m_bCreated) return true;
    m_pMainWnd = parent ? parent : FindMainWindow();
    m_strTitle = title;
    m_bPercentShown = false;

    // A window of its own rather than a child of the main window: the main window is disabled while this
    // one is modal, and a disabled parent would disable its child windows too.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setWindowTitle(m_strTitle);
    setCursor(Qt::BusyCursor);
    setFocusPolicy(Qt::StrongFocus);
    setAutoFillBackground(true);
    QPalette face = palette();
    face.setColor(QPalette::Window, face.color(QPalette::Button));
    setPalette(face);
    resize(kDefaultWidth, kDefaultHeight);

    m_pText = new QLabel(this);
    m_pText->setObjectName(QStringLiteral("progressText"));
    m_pText->setTextFormat(Qt::PlainText);
    m_pText->setWordWrap(false);
    m_pText->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_pText->setFont(QApplication::font("QMessageBox"));
    m_pProgress = new QProgressBar(this);
    m_pProgress->setObjectName(QStringLiteral("progressBar"));
    m_pProgress->setTextVisible(false);
    // Qt draws a continuous bar either way; a segmented look is only a style hint.
    m_pProgress->setProperty("smooth", smooth);
    m_pProgress->setRange(m_nMinValue, m_nMaxValue);
    m_pProgress->setValue(m_nMinValue);
    m_pStop = new QPushButton(tr("Stop"), this);
    m_pStop->setObjectName(QStringLiteral("stop"));
    m_pStop->setAutoDefault(false);
    connect(m_pStop, &QPushButton::clicked, this, [this] { Escape(true); });

    SetWindowSize(m_nNumTextLines, kDefaultWidth);
    create();
    if (!windowHandle()) return false;
    if (m_pMainWnd && m_pMainWnd->window()->windowHandle())
        windowHandle()->setTransientParent(m_pMainWnd->window()->windowHandle());
    m_bCreated = true;
    RestorePosition(m_pMainWnd);
    Show();
    return true;
}

bool CProgressWnd::GoModal(const QString& title, bool smooth) {
    if (!m_bCreated && !Create(FindMainWindow(), title, smooth)) return false;
    if (m_pMainWnd) m_pMainWnd->window()->setEnabled(false);
    setEnabled(true);
    m_bModal = true;
    // Modal for the window system too, so that not even a close request reaches the main window meanwhile.
    // Modality is taken on when a window is shown.
    if (windowModality() != Qt::ApplicationModal) {
        const bool visible = isVisible();
        if (visible) hide();
        setWindowModality(Qt::ApplicationModal);
        if (visible) Show();
    }
    activateWindow();
    setFocus();
    return true;
}

void CProgressWnd::SetWindowSize(int lines, int width) {
    m_nNumTextLines = lines;
    const QFontMetrics text(m_pText->font());
    const QFontMetrics button(QApplication::font("QPushButton"));
    const int edge = std::max(1, style()->pixelMetric(QStyle::PM_DefaultFrameWidth));

    const QRect textRect(kMargin, kMargin, width, lines * text.height());
    // The bar sits in a row as tall as a push button, leaving room at the right as wide as a button labelled
    // " Cancel " would need, so the window keeps the proportions it has always had.
    const int rowTop = textRect.bottom() + 1 + kMargin;
    const int rowHeight = button.height() + 3 * edge;
    const int cancelRoom = button.horizontalAdvance(m_strCancelLabel + QStringLiteral("  ")) + 4 * edge;
    const QRect barRect(kMargin, rowTop + edge, std::max(10, width - cancelRoom - kMargin),
                        rowHeight - 2 * edge);

    m_pText->setGeometry(textRect);
    m_pProgress->setGeometry(barRect);
    // The button fills the room kept for it beside the bar.
    m_pStop->setGeometry(QRect(width + kMargin - cancelRoom, rowTop, cancelRoom, rowHeight));
    setFixedSize(width + 2 * kMargin, rowTop + rowHeight + kMargin);
}

QPoint CProgressWnd::RestoredPosition(int x, int y, const QSize& size, const QRect& centreOn) {
    // A position saved on a display that is gone (or never saved: -1) would put the window out of reach.
    if (QGuiApplication::screenAt(QPoint(x, y))) return QPoint(x, y);
    return CentredPosition(size, centreOn);
}

QPoint CProgressWnd::CentredPosition(const QSize& size, const QRect& centreOn) {
    QRect area = centreOn;
    if (area.isEmpty() && QGuiApplication::primaryScreen())
        area = QGuiApplication::primaryScreen()->availableGeometry();
    return area.center() - QPoint(size.width() / 2, size.height() / 2);
}

void CProgressWnd::RestorePosition(QWidget* parent) {
    QRect centreOn;
    if (parent && parent->window()->isVisible()) centreOn = parent->window()->frameGeometry();
    if (!m_bPersistent) {
        move(CentredPosition(frameGeometry().size(), centreOn));
        return;
    }
    QSettings settings = Profile();
    settings.beginGroup(QLatin1String(kSettingsSection));
    const int x = settings.value(QStringLiteral("X"), -1).toInt();
    const int y = settings.value(QStringLiteral("Y"), -1).toInt();
    settings.endGroup();
    // The profile keeps the position of the window's inside, not of its frame: placed by its inside, the
    // window lands where it was whatever the window manager's title bar, and does not creep upwards.
    if (QGuiApplication::screenAt(QPoint(x, y)))
        setGeometry(QRect(QPoint(x, y), size()));
    else
        move(CentredPosition(frameGeometry().size(), centreOn));
}

void CProgressWnd::SavePosition() {
    QSettings settings = Profile();
    settings.beginGroup(QLatin1String(kSettingsSection));
    settings.setValue(QStringLiteral("X"), geometry().x());
    settings.setValue(QStringLiteral("Y"), geometry().y());
    settings.endGroup();
    settings.sync();
}

void CProgressWnd::SetRange(int lower, int upper, int step) {
    m_nMinValue = lower;
    m_nMaxValue = upper;
    m_nStep = step;
    if (m_pProgress) m_pProgress->setRange(lower, std::max(lower, upper));
}

int CProgressWnd::SetStep(int step) {
    const int previous = m_nStep;
    m_nStep = step;
    return previous;
}

void CProgressWnd::UpdateTitle() {
    m_bPercentShown = true;
    setWindowTitle(QStringLiteral("%1 [%2%]").arg(m_strTitle).arg(m_nPrevPercent));
}

int CProgressWnd::SetPos(int pos) {
    if (m_bCreated && !isVisible()) Show();
    const int previous = m_nPrevPos;
    // A bar cannot show more than its range; clamping also keeps the percentage between 0 and 100.
    m_nPrevPos = m_nMaxValue > m_nMinValue ? std::clamp(pos, m_nMinValue, m_nMaxValue) : pos;
    int percent = 0;
    if (m_nMaxValue > m_nMinValue)
        percent = static_cast<int>(static_cast<long long>(m_nPrevPos) * 100 /
                                   (static_cast<long long>(m_nMaxValue) - m_nMinValue));
    if (percent != m_nPrevPercent || !m_bPercentShown) {
        m_nPrevPercent = percent;
        UpdateTitle();
    }
    if (m_pProgress)
        m_pProgress->setValue(std::clamp(m_nPrevPos, m_nMinValue, std::max(m_nMinValue, m_nMaxValue)));
    emit positionSet(m_nPrevPos);
    return previous;
}

void CProgressWnd::SetText(const QString& text) {
    if (m_pText) m_pText->setText(text);
}

QString CProgressWnd::GetText() const {
    return m_pText ? m_pText->text() : QString();
}

void CProgressWnd::Clear() {
    SetText(QString());
    m_nPrevPos = 0;
    m_bCancelled = false;
    if (m_pProgress) m_pProgress->setValue(std::clamp(0, m_nMinValue, std::max(m_nMinValue, m_nMaxValue)));
    update();
}

void CProgressWnd::Show() {
    if (!m_bCreated) return;
    if (!isVisible()) {
        setAttribute(Qt::WA_ShowWithoutActivating, !m_bModal);
        show();
    }
    update();
}

void CProgressWnd::Hide() {
    if (m_bCreated && isVisible()) hide();
}

bool CProgressWnd::PeekAndPump(bool cancelOnEscape) {
    m_bCancelOnEscape = cancelOnEscape;
    // Take the focus back from our own other windows (not from a dialog shown over this one), never from
    // another program.
    QWidget* active = QApplication::activeWindow();
    if (m_bModal && isVisible() && active && active != this && QApplication::activeModalWidget() == this)
        activateWindow();
    if (m_bCancelled) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    return !m_bCancelled;
}

bool CProgressWnd::WaitAndPump(int milliseconds, bool cancelOnEscape) {
    // Sleep in the event dispatcher until something happens or the wake-up timer fires: no busy waiting,
    // and the window keeps handling its messages even after it was cancelled.
    QTimer wake;
    wake.setSingleShot(true);
    wake.start(std::max(1, milliseconds));
    PeekAndPump(cancelOnEscape);
    while (wake.isActive())
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    return !m_bCancelled;
}

void CProgressWnd::Escape(bool fromButton) {
    if (!m_bCancelOnEscape && !fromButton) return;
    if (m_escapeHandler)
        m_escapeHandler();
    else
        OnCancel();
}

void CProgressWnd::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        Escape();
        return;
    }
    QWidget::keyPressEvent(event);
}

void CProgressWnd::closeEvent(QCloseEvent* event) {
    if (m_bClosing) {
        event->accept();
        return;
    }
    // The window manager's close is a cancel by the user, like Escape.
    event->ignore();
    Escape();
}

void CProgressWnd::OnCancel() {
    m_bCancelled = true;
    Hide();
    QWidget* main = m_pMainWnd ? m_pMainWnd->window() : nullptr;
    if (m_bModal) DestroyWindow();
    if (main) {
        main->raise();
        main->activateWindow();
    }
}

void CProgressWnd::DestroyWindow() {
    if (!m_bCreated) return;
    if (m_bPersistent) SavePosition();
    m_bClosing = true;
    close();
    m_bClosing = false;
    if (m_bModal) {
        m_bModal = false;
        setWindowModality(Qt::NonModal);
        if (m_pMainWnd) m_pMainWnd->window()->setEnabled(true);
    }
    m_bCreated = false;
}
