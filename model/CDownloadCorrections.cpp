#include "model/CDownloadCorrections.h"

#include "model/CBrantSetupType.h"

namespace {
// Row and column titles as one line: the sheets' titles hold line breaks and runs of blanks.
std::string OneLine(const std::string& text) {
    std::string line;
    for (char c : text) {
        const bool blank = c == ' ' || c == '\n' || c == '\r' || c == '\t';
        if (blank && (line.empty() || line.back() == ' ')) continue;
        line.push_back(blank ? ' ' : c);
    }
    while (!line.empty() && line.back() == ' ')
        line.pop_back();
    return line;
}

std::string CellText(const CDataSheet* sheet, int row, int col) {
    const CBrChnData* cell = sheet ? sheet->GetCellChecked(row, col) : nullptr;
    return cell ? cell->GetDataAsString() : std::string();
}
} // namespace

void CDownloadCorrections::Clear() {
    m_notes.clear();
    m_list.clear();
}

void CDownloadCorrections::Note(int type, int row, int col, std::string unitValue) {
    m_notes[std::make_tuple(type, row, col)] = std::move(unitValue);
}

void CDownloadCorrections::Resolve(CBrantSetupType* const* setups, int count) {
    m_list.clear();
    for (const auto& [key, unitValue] : m_notes) {
        const auto [type, row, col] = key;
        if (type < 0 || type >= count || !setups[type]) continue;
        const CBrantSetupType& setup = *setups[type];
        const CDataSheet* sheet = setup.GetDataSheet();
        if (!sheet || !sheet->GetCellChecked(row, col)) continue;
        const std::string shown = CellText(sheet, row, col);
        if (shown == unitValue || setup.IsOffChannelCell(row, col)) continue;
        m_list.push_back({type, row, col, setup.GetTitle(), OneLine(CellText(sheet, row, 0)),
                          OneLine(CellText(sheet, 0, col)), unitValue, shown});
    }
    m_notes.clear();
}

std::string CDownloadCorrections::Describe(const CORRECTION& correction) {
    return correction.sheet + " " + correction.rowName + ", " + correction.column + ": the unit holds \"" +
           correction.unitValue + "\", the sheet shows \"" + correction.sheetValue + "\"";
}

std::string CDownloadCorrections::Report(std::size_t maxLines) const {
    if (m_list.empty()) return std::string();
    std::string text =
        "The sheets corrected values the unit holds but the sheets do not allow. The unit keeps "
        "its values until the next upload.\n";
    // Appended piece by piece: GCC 12 at -O3 warns falsely (-Wrestrict) on a literal + string temporary.
    for (std::size_t i = 0; i < m_list.size() && i < maxLines; ++i) {
        text += '\n';
        text += Describe(m_list[i]);
    }
    if (m_list.size() > maxLines) {
        text += "\n... and ";
        text += std::to_string(m_list.size() - maxLines);
        text += " more";
    }
    return text;
}
