#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <tuple>
#include <vector>

class CBrantSetupType;

// A value the sheets did not take as the unit holds it. Texts are Windows-1252, as in the cells.
struct CORRECTION {
    int type = 0; // SETUP_TYPE of the sheet
    int row = 0;
    int col = 0;
    std::string sheet;      // "Alarm"
    std::string rowName;    // "1 (A11)"
    std::string column;     // "SetPoint"
    std::string unitValue;  // what the unit holds: "150", or "code 30" for a code no list names
    std::string sheetValue; // what the sheet shows after the download: "100.0"
};

// The corrections of one download. While a download fills the sheets, each setup type notes what the unit
// holds for every cell it fills; when the download has ended, every noted cell that shows something else
// was corrected by the sheet's rules. Filled on the transfer thread; read on the window thread once the
// transfer has ended.
class CDownloadCorrections {
public:
    void Clear();
    // What the unit holds for cell (row, col) of setup type `type`; a later note of the same cell wins.
    void Note(int type, int row, int col, std::string unitValue);
    // Compares the notes with the cells of `setups` (indexed by SETUP_TYPE) and makes the list.
    void Resolve(CBrantSetupType* const* setups, int count);
    const std::vector<CORRECTION>& GetList() const { return m_list; }

    // One line: Alarm 1 (A11), SetPoint: the unit holds "150", the sheet shows "100.0"
    static std::string Describe(const CORRECTION& correction);
    // The message shown after a download: what happened, then one line per correction, at most `maxLines`
    // of them (the rest are counted). Empty when nothing was corrected.
    std::string Report(std::size_t maxLines) const;

private:
    std::map<std::tuple<int, int, int>, std::string> m_notes;
    std::vector<CORRECTION> m_list;
};
