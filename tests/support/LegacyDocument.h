#pragma once

#include "model/CArchive.h"
#include "model/CBrantSetupType.h"
#include "unit/CTavikDoc.h"
#include "unit/CZemUnit.h"

// A document of version 0, 1 or 2, built from the current sheets in the layouts those versions used, with the
// General title its program wrote.
inline std::vector<std::uint8_t> LegacyDocument(CTavikDoc& doc, unsigned version,
                                                const std::string& generalTitle = "General") {
    const auto writeRow = [](CArchive& out, const CDataSheet& sheet, int row) {
        for (int col = 0; col < sheet.GetNumCells(row); ++col)
            sheet.GetProperty(row, col)->DoFileReadWrite(out, 3);
    };
    CZemUnit& unit = *doc.GetZemUnit();
    CArchive out(CArchive::store);
    out.WriteUInt32(version);

    out.WriteString(generalTitle);
    out.WriteInt32(0);
    // Versions 0 and 1 kept the rows in another order and had no protocol row.
    static const int oldOrder[14] = {0, 1, 2, 3, 6, 5, 8, 10, 7, 11, 9, 12, 13, 14};
    for (int s = 0; s < (version == 2 ? 15 : 14); ++s)
        writeRow(out, *unit.GetSetupType(0)->GetDataSheet(), version == 2 ? s : oldOrder[s]);

    unit.GetSetupType(1)->DoFileReadWrite(out, 3);

    out.WriteString("Logical Input");
    out.WriteInt32(2);
    for (int row = 0; row < 8; ++row) // the older layout had no row for LOG8
        writeRow(out, *unit.GetSetupType(2)->GetDataSheet(), row);

    unit.GetSetupType(3)->DoFileReadWrite(out, 3);
    return out.GetBuffer();
}
