#include "ui/app/CTabbedFrameWnd.h"

#include <QApplication>
#include <QTabBar>
#include <QTabWidget>

CTabbedFrameWnd::CTabbedFrameWnd(QWidget* parent) : QMainWindow(parent), m_pTabCtrl(new QTabWidget(this)) {
    m_pTabCtrl->setObjectName(QStringLiteral("tabs"));
    m_pTabCtrl->setTabPosition(QTabWidget::South);
    m_pTabCtrl->setDocumentMode(true);
    m_pTabCtrl->tabBar()->setExpanding(false);
    m_pTabCtrl->setFocusPolicy(Qt::NoFocus);
    setCentralWidget(m_pTabCtrl);
    connect(m_pTabCtrl, &QTabWidget::currentChanged, this, &CTabbedFrameWnd::OnTabSelected);
}

CTabbedFrameWnd::~CTabbedFrameWnd() = default;

QWidget* CTabbedFrameWnd::GetView(int index) const {
    if (index < 0 || index >= GetViewCount()) return nullptr;
    return m_views[static_cast<std::size_t>(index)];
}

void CTabbedFrameWnd::SetTabText(int index, const QString& text) {
    if (index < 0 || index >= m_pTabCtrl->count()) return;
    m_pTabCtrl->setTabText(index, text);
    m_pTabCtrl->setTabToolTip(index, text);
}

bool CTabbedFrameWnd::AddView() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QWidget* view = CreateView();
    if (!view) {
        QApplication::restoreOverrideCursor();
        return false;
    }
    m_views.push_back(view);
    m_bSwitching = true;
    m_pTabCtrl->addTab(view, QString());
    m_bSwitching = false;
    view->setEnabled(false);
    SetActiveView(GetViewCount() - 1);
    QApplication::restoreOverrideCursor();
    return true;
}

void CTabbedFrameWnd::SetActiveView(int index) {
    if (index < 0 || index >= GetViewCount() || index == m_nActiveIndex) return;
    const int previous = m_nActiveIndex;
    if (m_pActiveView) m_pActiveView->setEnabled(false);
    QWidget* view = m_views[static_cast<std::size_t>(index)];
    view->setEnabled(true);
    m_pActiveView = view;
    m_nActiveIndex = index;
    m_bSwitching = true;
    m_pTabCtrl->setCurrentIndex(index);
    m_bSwitching = false;
    view->setFocus();
    if (previous >= 0) OnActivateView(previous, false);
    OnActivateView(index, true);
}

void CTabbedFrameWnd::OnTabSelected(int index) {
    if (m_bSwitching) return;
    SetActiveView(index);
    OnUpdateFrameTitle();
}
