#pragma once

#include <QString>

// Where a file dialog starts: the folder of the current document, else the last folder a file was opened
// from or saved to, else the user's Documents folder. Never the working directory: started from the
// Windows Start menu that is the program's own folder, where a standard user cannot write.
QString DialogFolder(const QString& documentPath);
// Notes the folder of `filePath`, a file the user has just opened or saved, for the next dialog.
void NoteDialogFolder(const QString& filePath);
