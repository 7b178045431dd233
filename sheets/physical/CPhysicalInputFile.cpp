// The Physical Input record of the document file.
#include "sheets/physical/CPhysicalInput.h"

#include "model/CArchive.h"

void CPhysicalInput::DoFileReadWrite(CArchive& archive, unsigned version) {
    if (!archive.IsLoading()) {
        CBrantSetupType::FileWrite(archive, version);
        return;
    }
    CBrantSetupType::FileRead(archive, version);
    if (!MergeUnits())
        throw CArchiveException(CArchiveException::badSchema, "the inputs hold too many LCD units");
}
