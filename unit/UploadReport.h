#pragma once

#include <string>

class CZemUnit;

// What an upload that ended tells the user, in the same words in the desktop program and tavik-cli.

// "wrote 1 of 87 blocks; 86 already held these values" (after an upload that went through).
std::string UploadSummary(const CZemUnit& unit);
// After an upload that did not go through: "Nothing was written to the unit", "1 block was written: Alarm 3
// (A15)", "2 blocks were written: Alarm 3 (A15), Alarm 18 (A36)".
std::string WrittenBlocksText(const CZemUnit& unit);
// Where the unit's previous configuration is: "previous configuration: PATH"; "no backup was kept: the unit
// was not read in full" when the upload ended while it read; empty when no backup was asked for.
std::string BackupText(const CZemUnit& unit);
