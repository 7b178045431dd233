#pragma once

// Helpers of the transfer tests: a user who answers the dialogs as they come up, and an observer of the
// progress windows.

#include "ui/transfer/CProgressWnd.h"

#include <QApplication>
#include <QSet>
#include <QTest>
#include <QTimer>

#include <functional>
#include <vector>

namespace transfer_test {

// Looks at the application every few milliseconds, also while a dialog or the progress loop runs its own
// event loop: each modal dialog that comes up is passed once to `onDialog`, each progress window is
// watched (`onProgress` once, then every position it shows is recorded).
class ScriptedUser : public QObject {
public:
    // In which progress window (0 for the first one seen), where, out of how many, and what it said.
    struct Position {
        int window, pos, upper;
        QString text, title;
    };

    std::function<void(QWidget*)> onDialog;
    std::function<void(CProgressWnd*)> onProgress;
    std::vector<Position> positions;
    int progressWindows = 0;

    ScriptedUser() {
        m_timer.setInterval(5);
        connect(&m_timer, &QTimer::timeout, this, &ScriptedUser::Look);
        m_timer.start();
    }

    void Look() {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal && !qobject_cast<CProgressWnd*>(modal) && !m_seen.contains(modal)) {
            Remember(modal);
            if (onDialog) onDialog(modal);
        }
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* progress = qobject_cast<CProgressWnd*>(widget);
            if (!progress || !progress->isVisible() || m_seen.contains(progress)) continue;
            Remember(progress);
            const int window = progressWindows++;
            connect(progress, &CProgressWnd::positionSet, this, [this, window, progress](int pos) {
                positions.push_back(
                    {window, pos, progress->GetUpper(), progress->GetText(), progress->windowTitle()});
            });
            if (onProgress) onProgress(progress);
        }
    }

private:
    // Dialogs live on the stack: a later one may take the address of one that is gone.
    void Remember(QObject* object) {
        m_seen.insert(object);
        connect(object, &QObject::destroyed, this, [this, object] { m_seen.remove(object); });
    }

    QTimer m_timer;
    QSet<QObject*> m_seen;
};

// Handles events until done() holds or a generous limit passed (so a broken transfer fails, not hangs).
inline bool PumpUntil(const std::function<bool()>& done, int limitMs = 20000) {
    return QTest::qWaitFor(done, limitMs);
}

} // namespace transfer_test
