#include "ui/app/DialogFolder.h"

#include "ui/app/AppProfile.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <memory>

namespace {
const QString g_strFolderKey = QStringLiteral("Settings/LastFolder");
} // namespace

QString DialogFolder(const QString& documentPath) {
    if (!documentPath.isEmpty()) {
        const QString folder = QFileInfo(documentPath).absolutePath();
        if (QFileInfo(folder).isDir()) return folder;
    }
    const std::unique_ptr<QSettings> profile(NewAppProfile());
    const QString last = profile->value(g_strFolderKey).toString();
    if (!last.isEmpty() && QFileInfo(last).isDir()) return last;
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return documents.isEmpty() ? QDir::homePath() : documents;
}

void NoteDialogFolder(const QString& filePath) {
    if (filePath.isEmpty()) return;
    const std::unique_ptr<QSettings> profile(NewAppProfile());
    profile->setValue(g_strFolderKey, QFileInfo(filePath).absolutePath());
}
