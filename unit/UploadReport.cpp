#include "unit/UploadReport.h"

#include "unit/CZemUnit.h"

#include <vector>

std::string UploadSummary(const CZemUnit& unit) {
    return "wrote " + std::to_string(unit.GetBlocksWritten()) + " of " +
           std::to_string(unit.GetNumTransBlocks()) + " blocks; " + std::to_string(unit.GetBlocksHeld()) +
           " already held these values";
}

std::string WrittenBlocksText(const CZemUnit& unit) {
    const std::vector<std::string> names = unit.GetWrittenBlockNames();
    if (names.empty()) return "Nothing was written to the unit";
    std::string text = names.size() == 1 ? std::string("1 block was written: ")
                                         : std::to_string(names.size()) + " blocks were written: ";
    for (std::size_t i = 0; i < names.size(); ++i)
        text += (i ? ", " : "") + names[i];
    return text;
}

std::string BackupText(const CZemUnit& unit) {
    if (!unit.GetUploadBackup()) return std::string();
    const std::string path = unit.GetBackupPath();
    if (!path.empty()) return "previous configuration: " + path;
    return unit.WasUnitRead() ? std::string() : "no backup was kept: the unit was not read in full";
}
