#include "tools/tavik-cli/CellNames.h"

#include "model/CBrantSetupType.h"
#include "model/ChannelNames.h"
#include "model/Cp1252.h"
#include "sheets/alarms/AlarmTables.h"
#include "sheets/logical/LogicalTables.h"
#include "sheets/physical/PhysicalTables.h"

#include <algorithm>
#include <cstdlib>

namespace {
std::string Trimmed(const std::string& text) {
    const std::size_t first = text.find_first_not_of(' ');
    return first == std::string::npos ? std::string()
                                      : text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::string CellText(CBrantSetupType& setup, int row, int col) {
    const CDataSheet* sheet = setup.GetDataSheet();
    const CBrChnData* cell = sheet ? sheet->GetCellChecked(row, col) : nullptr;
    return cell ? cell->GetDataAsString() : std::string();
}

// Row and column numbers are one to four digits; anything else is a name.
bool ParseNumber(const std::string& text, int& value) {
    if (text.empty() || text.size() > 4 || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    value = std::atoi(text.c_str());
    return true;
}

std::size_t Distance(const std::string& a, const std::string& b) {
    std::vector<std::size_t> previous(b.size() + 1), current(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j)
        previous[j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        current[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j)
            current[j] = std::min(
                {previous[j] + 1, current[j - 1] + 1, previous[j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1)});
        std::swap(previous, current);
    }
    return previous[b.size()];
}

// Finds `word` among the names of each index (first..last); -1 and the nearest name when none matches.
template <typename NamesOf>
int FindByName(const std::string& word, int first, int last, NamesOf namesOf, std::string& nearest) {
    const std::string wanted = NameForm(Cp1252FromUtf8(word));
    std::vector<std::string> all;
    for (int index = first; index <= last; ++index) {
        const std::vector<std::string> names = namesOf(index);
        for (const std::string& name : names)
            if (NameForm(Cp1252FromUtf8(name)) == wanted) return index;
        if (!names.empty()) all.push_back(names.front()); // suggested by its short name
    }
    nearest = NearestName(word, all);
    return -1;
}
} // namespace

const std::vector<std::string>& SheetWords() {
    static const std::vector<std::string> words{"general", "physical", "logical", "alarm"};
    return words;
}

int FindSheet(const std::string& word) {
    for (int i = 0; i < SETUP_TYPE_COUNT; ++i)
        if (NameForm(word) == SheetWords()[static_cast<std::size_t>(i)] || word == std::to_string(i))
            return i;
    return -1;
}

std::string NameForm(const std::string& text) {
    std::string form;
    for (char c : text) {
        if (c == ' ' || c == '\t') continue;
        form.push_back(c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c);
    }
    return form;
}

std::string NearestName(const std::string& word, const std::vector<std::string>& names) {
    std::string best;
    std::size_t bestDistance = SIZE_MAX;
    const std::string wanted = NameForm(word);
    for (const std::string& name : names)
        if (const std::size_t d = Distance(wanted, NameForm(name)); d < bestDistance) {
            bestDistance = d;
            best = name;
        }
    return best;
}

std::string RowKey(CBrantSetupType& setup, int row) {
    const std::string title = CellText(setup, row, 0);
    switch (setup.GetSetupType()) {
    case SETUP_LOGICAL_INPUT:
        return GetLogChnName(row); // "LOG1", the name the lists use
    case SETUP_ALARM: {            // "1  (A11)": the name in brackets
        const std::size_t open = title.find('('), close = title.find(')');
        if (open != std::string::npos && close != std::string::npos && close > open)
            return Utf8FromCp1252(title.substr(open + 1, close - open - 1));
        return Utf8FromCp1252(Trimmed(title));
    }
    default:
        return Utf8FromCp1252(Trimmed(title));
    }
}

std::string ColumnKey(CBrantSetupType& setup, int col) {
    return Utf8FromCp1252(Trimmed(CellText(setup, 0, col)));
}

int LastEditableRow(CBrantSetupType& setup) {
    const CDataSheet* sheet = setup.GetDataSheet();
    return sheet ? std::min(setup.GetNumChannels(), sheet->GetNumSections()) - 1 : 0;
}

// The columns a user types into or picks from: not the row titles, nor the alarms' mirror columns and the
// logical inputs' derived parameters, which follow their inputs. Fixed by the sheet, not read from the cells,
// whose flags a document file carries.
bool IsEditableColumn(CBrantSetupType& setup, int col) {
    switch (setup.GetSetupType()) {
    case SETUP_GENERAL:
        return col == 1;
    case SETUP_PHYSICAL_INPUT:
        return col >= PH_COL_TYPE && col <= PH_COL_MISC;
    case SETUP_LOGICAL_INPUT:
        return col >= LOG_COL_FIRST_INPUT && col <= LOG_COL_LAST_INPUT;
    case SETUP_ALARM:
        return col >= ALM_COL_INPREF && col <= ALM_COL_FLAGS;
    }
    return false;
}

std::vector<int> EditableColumns(CBrantSetupType& setup) {
    std::vector<int> columns;
    const CDataSheet* sheet = setup.GetDataSheet();
    for (int col = 1; sheet && col < sheet->GetNumCells(1); ++col)
        if (IsEditableColumn(setup, col)) columns.push_back(col);
    return columns;
}

namespace {
// A number counts rows or columns from 1: true with `found` set to it, or to -1 and `nearest` to the nearer
// end when it lies outside 1..last. False when the word is no number.
bool TakeNumber(const std::string& word, int last, int& found, std::string& nearest) {
    int number = 0;
    if (!ParseNumber(word, number)) return false;
    found = number >= 1 && number <= last ? number : -1;
    if (found < 0) nearest = std::to_string(number < 1 ? 1 : last);
    return true;
}
} // namespace

int FindRow(CBrantSetupType& setup, const std::string& word, std::string& nearest) {
    const int last = LastEditableRow(setup);
    if (int found = 0; TakeNumber(word, last, found, nearest)) return found;
    return FindByName(
        word, 1, last,
        [&](int row) {
            return std::vector<std::string>{RowKey(setup, row),
                                            Utf8FromCp1252(Trimmed(CellText(setup, row, 0)))};
        },
        nearest);
}

int FindColumn(CBrantSetupType& setup, const std::string& word, std::string& nearest) {
    const CDataSheet* sheet = setup.GetDataSheet();
    const int last = sheet ? sheet->GetNumCells(1) - 1 : 0;
    if (int found = 0; TakeNumber(word, last, found, nearest)) return found;
    return FindByName(
        word, 1, last,
        [&](int col) {
            const std::string title = ColumnKey(setup, col);
            const std::size_t bracket = title.find(" (");
            std::vector<std::string> names{title};
            if (bracket != std::string::npos) names.push_back(title.substr(0, bracket));
            return names;
        },
        nearest);
}
