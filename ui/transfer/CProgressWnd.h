#pragma once

#include <QString>
#include <QWidget>

#include <functional>

class QLabel;
class QProgressBar;
class QPushButton;

// A small top-level window with a line of text, a progress bar and a Stop button, shown while a long
// operation runs on another thread. Made modal it disables the main window until it is destroyed. Stop, the
// Escape key and closing it through the window manager cancel it, or call the caller's handler instead (a
// transfer pauses and asks). The last position is kept under "Settings" X / Y of the application profile.
class CProgressWnd : public QWidget {
    Q_OBJECT
public:
    static constexpr int kDefaultWidth = 390;
    static constexpr int kDefaultHeight = 130;
    static constexpr int kMargin = 10;

    CProgressWnd();
    CProgressWnd(QWidget* parent, const QString& title, bool smooth = false);
    ~CProgressWnd() override;

    // Creates the window over `parent` (the application's main window when null) and shows it at the last
    // saved position, or centred when that lies on no current screen. False when no window could be made.
    bool Create(QWidget* parent, const QString& title, bool smooth = false);
    // Creates the window if needed, disables the main window and makes this the only window taking input.
    bool GoModal(const QString& title = QStringLiteral("Progress"), bool smooth = false);

    void SetRange(int lower, int upper, int step = 1);
    // Stores pos (kept within the range), updates "Title [NN%]" when the whole percentage changed, moves
    // the bar. Returns the previous position.
    int SetPos(int pos);
    int OffsetPos(int n) { return SetPos(m_nPrevPos + n); }
    int StepIt() { return SetPos(m_nPrevPos + m_nStep); }
    int SetStep(int step);
    void SetText(const QString& text);
    QString GetText() const;
    void Clear();
    void Show();
    void Hide();

    // Handles the window messages that are waiting; returns false once the window has been cancelled.
    bool PeekAndPump(bool cancelOnEscape = true);
    // Handles window messages as they come for about `milliseconds`, sleeping in between: the wait between
    // two polls of a running operation.
    bool WaitAndPump(int milliseconds, bool cancelOnEscape = true);

    void OnCancel();
    // Saves the position, gives the main window back its input and closes this window.
    void DestroyWindow();

    // When set, Stop, Escape and the close box call this instead of cancelling (a caller asks the user).
    void SetEscapeHandler(std::function<void()> handler) { m_escapeHandler = std::move(handler); }
    void SetPersistent(bool persistent) { m_bPersistent = persistent; }

    bool GetCancelled() const { return m_bCancelled; }
    bool IsModal() const { return m_bModal; }
    int GetPos() const { return m_nPrevPos; }
    int GetPercent() const { return m_nPrevPercent; }
    int GetLower() const { return m_nMinValue; }
    int GetUpper() const { return m_nMaxValue; }
    QString GetTitle() const { return m_strTitle; }
    QProgressBar* GetProgressBar() const { return m_pProgress; }
    QPushButton* GetStopButton() const { return m_pStop; }

    // The profile where the position is kept (the application's own settings).
    static constexpr const char* kSettingsSection = "Settings";
    // Top-left corner where a window of `size` would be restored from the saved (x, y), or the centre of
    // `centreOn` (of the primary screen when empty) when the saved point lies on no screen.
    static QPoint RestoredPosition(int x, int y, const QSize& size, const QRect& centreOn);
    static QPoint CentredPosition(const QSize& size, const QRect& centreOn);

signals:
    // Every position set, after the bar moved.
    void positionSet(int position);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void SetWindowSize(int lines, int width);
    void SavePosition();
    void RestorePosition(QWidget* parent);
    void UpdateTitle();
    // Escape, the close box or (fromButton) Stop: the handler, or cancel.
    void Escape(bool fromButton = false);

    bool m_bCancelled = false;
    bool m_bModal = false;
    bool m_bPersistent = true;
    int m_nPrevPos = 0;
    int m_nPrevPercent = 0;
    int m_nStep = 1;
    int m_nMaxValue = 100;
    int m_nMinValue = 0;
    int m_nNumTextLines = 4;
    QLabel* m_pText = nullptr;
    QProgressBar* m_pProgress = nullptr;
    QPushButton* m_pStop = nullptr;
    QString m_strTitle = QStringLiteral("Progress");
    QString m_strCancelLabel = QStringLiteral(" Cancel ");
    bool m_bCreated = false;
    bool m_bCancelOnEscape = true;
    bool m_bClosing = false;
    bool m_bPercentShown = false;
    QWidget* m_pMainWnd = nullptr;
    std::function<void()> m_escapeHandler;
};
