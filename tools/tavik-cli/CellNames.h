#pragma once

// The names by which tavik-cli's edit, columns, export and import address a cell: the sheet word, the row
// title and the column title as the grid shows them, matched in any letter case and without regard to blanks.
// Rows and columns count from 1, as in the grid.

#include <string>
#include <vector>

class CBrantSetupType;
class CZemUnit;

// "general", "physical", "logical", "alarm".
const std::vector<std::string>& SheetWords();
// The sheet a word names (a sheet word or 0..3), or -1.
int FindSheet(const std::string& word);

// The name of a row: "Device Number", "IN 11", "LOG1", "A11" (UTF-8).
std::string RowKey(CBrantSetupType& setup, int row);
// The title of a column: "InpTp", "SetPoint" (UTF-8).
std::string ColumnKey(CBrantSetupType& setup, int col);
// The rows a user edits: 1 .. the last row the grid shows.
int LastEditableRow(CBrantSetupType& setup);
// The columns the grid lets a user change (not the row titles, mirrors or derived parameters), in order.
std::vector<int> EditableColumns(CBrantSetupType& setup);
bool IsEditableColumn(CBrantSetupType& setup, int col);

// The row (1 .. LastEditableRow) or column (1 .. last cell) a word names: its number, its name, or for rows
// also the grid's whole row title ("1  (A11)", "LOG1 (1A)"), for columns also the title without its
// bracketed note ("Delay" for "Delay (s)"). -1 when none, with `nearest` set to the closest valid name.
int FindRow(CBrantSetupType& setup, const std::string& word, std::string& nearest);
int FindColumn(CBrantSetupType& setup, const std::string& word, std::string& nearest);
// The closest of `names` to `word` (letter case and blanks aside); empty when `names` is.
std::string NearestName(const std::string& word, const std::vector<std::string>& names);
// The form in which names are compared: lower case, without blanks.
std::string NameForm(const std::string& text);
