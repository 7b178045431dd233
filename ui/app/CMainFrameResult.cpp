// The main frame's transfer result in the status bar, and Tools > Unit backups...
#include "ui/app/CMainFrame.h"

#include "ui/app/CommandIds.h"
#include "unit/BackupFolder.h"

#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>

void CMainFrame::CreateResultWidgets() {
    // Permanent widgets: the texts of the commands under the pointer take the bar's message, not these.
    m_pResult = new QLabel(statusBar());
    m_pResult->setObjectName(QStringLiteral("transferResult"));
    m_pResult->setTextInteractionFlags(Qt::TextSelectableByMouse); // a backup's path can be copied
    m_pResult->setMinimumWidth(1);                                 // a long path never widens the window
    m_pResult->hide();
    m_pOpenBackup = new QPushButton(tr("Open Previous Configuration"), statusBar());
    m_pOpenBackup->setObjectName(QStringLiteral("openBackup"));
    m_pOpenBackup->setToolTip(tr("Open what the unit held before the upload; upload it to restore it"));
    m_pOpenBackup->hide();
    connect(m_pOpenBackup, &QPushButton::clicked, this, [this] {
        // Opening it replaces this result with the backup's document.
        const QString path = m_strBackupPath;
        if (!path.isEmpty()) emit openDocumentRequested(path);
    });
    statusBar()->insertPermanentWidget(0, m_pResult, 1);
    statusBar()->insertPermanentWidget(1, m_pOpenBackup);
}

void CMainFrame::ShowResult(const QString& text, const QString& backupPath) {
    if (!m_pResult) return;
    m_pResult->setText(text);
    m_pResult->setToolTip(text); // whole, where a narrow window cuts the backup's path short
    m_pResult->setVisible(!text.isEmpty());
    m_strBackupPath = backupPath;
    m_pOpenBackup->setVisible(!backupPath.isEmpty());
    statusBar()->clearMessage(); // "Ready" beside the result
}

void CMainFrame::ClearResult() {
    ShowResult(QString());
}

QString CMainFrame::GetResultText() const {
    return m_pResult && !m_pResult->isHidden() ? m_pResult->text() : QString();
}

void CMainFrame::OnUnitBackups() {
    const QString folder = QString::fromStdString(DefaultBackupFolder());
    // Made when missing, so that the dialog opens there even before the first upload.
    if (!folder.isEmpty()) QDir().mkpath(folder);
    const QString path = m_askBackup ? m_askBackup(folder)
                                     : QFileDialog::getOpenFileName(this, tr("Unit backups"), folder,
                                                                    tr("Tavik Files (*.zmg)"));
    if (!path.isEmpty()) emit openDocumentRequested(path);
}
