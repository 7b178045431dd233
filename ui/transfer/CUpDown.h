#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QPushButton;

// "Upload/Download": tells which setup type failed to transfer and offers "Retry" (accepted: the whole
// transfer again from General) or "Cancel" (rejected).
class CUpDown : public QDialog {
    Q_OBJECT
public:
    explicit CUpDown(QWidget* parent = nullptr);

    void SetMessage(const QString& message);
    QString GetMessage() const;
    // Why the transfer failed, shown under the message; hidden when empty.
    void SetReason(const QString& reason);
    QString GetReason() const;
    QPushButton* GetRetryButton() const { return m_pRetry; }
    QPushButton* GetCancelButton() const { return m_pCancel; }

private:
    QLabel* m_pMessage;
    QLabel* m_pReason;
    QPushButton* m_pRetry;
    QPushButton* m_pCancel;
};
