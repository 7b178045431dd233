// export and import: the configuration as text, both ways.
#include "tools/tavik-cli/CellEdit.h"
#include "tools/tavik-cli/CellNames.h"
#include "tools/tavik-cli/CliCommands.h"
#include "tools/tavik-cli/CliFiles.h"
#include "tools/tavik-cli/CliPrompt.h"
#include "tools/tavik-cli/ConfigText.h"

#include "model/CBrantSetupType.h"
#include "model/Cp1252.h"
#include "unit/CTavikDoc.h"
#include "unit/CZemUnit.h"

#include <nlohmann/json.hpp>

#include <map>
#include <set>
#include <tuple>

namespace {
using Json = nlohmann::ordered_json;

// An exported configuration takes under 20 KB; a file many times that size is something else.
constexpr std::size_t MAX_CONFIG_BYTES = 1024 * 1024;
// The format nests three deep (sheet, row, column); deeper nesting is refused before parsing.
constexpr int MAX_CONFIG_DEPTH = 8;

// Where a JSON text nests deeper than `limit`: its line and column (from 1), or {0, 0}.
std::pair<int, int> TooDeep(const std::string& text, int limit) {
    int depth = 0, line = 1, column = 0;
    bool inString = false, escaped = false;
    for (char c : text) {
        ++column;
        if (c == '\n') {
            ++line;
            column = 0;
        } else if (inString) {
            if (escaped)
                escaped = false;
            else if (c == '\\')
                escaped = true;
            else if (c == '"')
                inString = false;
        } else if (c == '"') {
            inString = true;
        } else if (c == '{' || c == '[') {
            if (++depth > limit) return {line, column};
        } else if (c == '}' || c == ']') {
            --depth;
        }
    }
    return {0, 0};
}

// nlohmann's message without its "[json.exception.parse_error.101] " prefix: "parse error at line 3,
// column 5: ...".
std::string ParseErrorText(const std::string& what) {
    const std::size_t end = what.find("] ");
    return what.front() == '[' && end != std::string::npos ? what.substr(end + 2) : what;
}

struct Value {
    std::string sheet, row, column; // as named in the file, for a report of a name that names no cell
    std::string text;               // UTF-8
};
using CellKey = std::tuple<int, int, int>; // setup type, row, column: the order values are applied in

class CImport {
public:
    // Per-value lines go to `values`, diagnostics to `err`.
    CImport(CZemUnit& unit, std::ostream& values, std::ostream& err)
        : m_unit(unit), m_out(values), m_err(err) {}

    // Collects the values of a parsed configuration; false when its shape is not this format (told on err).
    bool Collect(const Json& root) {
        for (const auto& [key, sheetJson] : root.items()) {
            if (key == "format" || key == "version") continue;
            const int type = key.size() > 1 ? FindSheet(key) : -1; // by its word, not its number
            if (type < 0) {
                Refuse(key, "", "",
                       "unknown sheet \"" + key + "\"; nearest: " + NearestName(key, SheetWords()));
                continue;
            }
            if (!sheetJson.is_object()) return Malformed("\"" + key + "\" is not an object of rows");
            m_sheetsGiven.insert(type);
            CBrantSetupType& setup = *m_unit.GetSetupType(type);
            const std::vector<int> columns = EditableColumns(setup);
            for (const auto& [rowName, rowJson] : sheetJson.items()) {
                std::string nearest;
                const int row = FindRow(setup, rowName, nearest);
                if (row < 0) {
                    Refuse(key, rowName, "", "unknown row \"" + rowName + "\"; nearest: " + nearest);
                    continue;
                }
                m_rowsGiven.insert({type, row});
                if (columns.size() == 1) { // General: named values
                    Add(type, row, columns.front(), {key, rowName, "", ""}, rowJson);
                    continue;
                }
                if (!rowJson.is_object())
                    return Malformed("\"" + key + "\" \"" + rowName + "\" is not an object of columns");
                for (const auto& [colName, valueJson] : rowJson.items()) {
                    const int col = FindColumn(setup, colName, nearest);
                    if (col < 0)
                        Refuse(key, rowName, colName,
                               "unknown column \"" + colName + "\"; nearest: " + nearest);
                    else if (!IsEditableColumn(setup, col))
                        Refuse(key, rowName, colName, "the column is read-only: it follows the input");
                    else
                        Add(type, row, col, {key, rowName, colName, ""}, valueJson);
                }
            }
        }
        return true;
    }

    // Lists on err every sheet, row and cell the configuration leaves out, which keep the values they have
    // (the defaults of a new document); each counts as refused when `strict`.
    void ListMissing(bool strict) {
        for (int type = 0; type < SETUP_TYPE_COUNT; ++type) {
            CBrantSetupType& setup = *m_unit.GetSetupType(type);
            const std::string sheetWord = SheetWords()[static_cast<std::size_t>(type)];
            if (!m_sheetsGiven.count(type)) {
                Missing(strict,
                        sheetWord + ": not in the configuration; the defaults of the whole sheet are kept");
                continue;
            }
            const std::vector<int> columns = EditableColumns(setup);
            for (int row = 1; row <= LastEditableRow(setup); ++row) {
                if (!m_rowsGiven.count({type, row})) {
                    const std::string place = sheetWord + " " + RowKey(setup, row);
                    Missing(strict,
                            columns.size() == 1
                                ? place + ": not in the configuration; the default " +
                                      Shown(CellValue({type, row, columns.front()})) + " is kept"
                                : place + ": not in the configuration; the defaults of the row are kept");
                    continue;
                }
                for (int col : columns)
                    if (!m_values.count({type, row, col}))
                        Missing(strict, PlaceText(m_unit, type, row, col) +
                                            ": not in the configuration; the default " +
                                            Shown(CellValue({type, row, col})) + " is kept");
            }
        }
    }

    // Applies the values in the order the sheets depend on each other: General, Physical Inputs, Logical
    // Inputs, Alarms; rows in order; within a row the columns in order, which puts every input reference and
    // input type before the values checked against it.
    // With `everyValue` (a patch onto a document) every value is listed, with the other cells it changed, as
    // edit lists them; otherwise only the values not stored as given.
    void Apply(bool answerYes, bool strict, bool everyValue) {
        CCliPrompt prompt(m_err, answerYes);
        std::map<CellKey, std::string> settled; // what each cell held right after its own value was applied
        for (const auto& [key, value] : m_values) {
            const auto& [type, row, col] = key;
            const EditOutcome outcome = ApplyCellEdit(m_unit, type, row, col, value.text, prompt, everyValue);
            if (outcome.kind == EditOutcome::Stored || outcome.kind == EditOutcome::Corrected)
                settled[key] = CellValue(key);
            if (everyValue || outcome.kind != EditOutcome::Stored) Report(key, AnswerText(outcome));
            for (const ConfigDifference& change : outcome.others)
                m_out << "  also changed: " << ChangeText(m_unit, change) << '\n';
            if (outcome.kind == EditOutcome::Stored) continue;
            if (outcome.kind == EditOutcome::Refused || strict)
                ++m_refused;
            else
                ++m_corrected;
        }
        // A later value may have changed an earlier one (an alarm reset, a dynamic reference switched off):
        // the document then does not hold what the file says.
        for (const auto& [key, held] : settled) {
            if (CellValue(key) == held) continue;
            Report(key, "refused: the values after it changed it to " + Quoted(CellValue(key)));
            ++m_refused;
        }
    }

    int Refused() const { return m_refused; }
    int Corrected() const { return m_corrected; }

private:
    std::string CellValue(const CellKey& key) const {
        const auto& [type, row, col] = key;
        const CBrChnData* cell = m_unit.GetSetupType(type)->GetDataSheet()->GetCellChecked(row, col);
        return cell ? cell->GetDataAsString() : std::string();
    }

    void Add(int type, int row, int col, Value value, const Json& json) {
        if (!json.is_string()) {
            Refuse(value.sheet, value.row, value.column, "the value must be a text in double quotes");
            return;
        }
        value.text = json.get<std::string>();
        if (!m_values.emplace(CellKey{type, row, col}, value).second)
            Refuse(value.sheet, value.row, value.column, "the cell is given twice");
    }

    // A name that names no cell: the place as the file gives it.
    void Refuse(const std::string& sheet, const std::string& row, const std::string& column,
                const std::string& why) {
        std::string place = sheet;
        for (const std::string* part : {&row, &column})
            if (!part->empty()) place += " " + *part;
        m_out << place << ": refused: " << why << '\n';
        ++m_refused;
    }

    void Report(const CellKey& key, const std::string& answer) {
        const auto& [type, row, col] = key;
        m_out << PlaceText(m_unit, type, row, col) << ": " << answer << '\n';
    }

    void Missing(bool strict, const std::string& line) {
        m_err << line << '\n';
        if (strict) ++m_refused;
    }

    static std::string Quoted(const std::string& cp1252) { return "\"" + Utf8FromCp1252(cp1252) + "\""; }
    static std::string Shown(const std::string& cp1252) {
        return cp1252.empty() ? std::string("(empty)") : Utf8FromCp1252(cp1252);
    }

    bool Malformed(const std::string& why) {
        m_err << "tavik-cli: not a Tavik configuration: " << why << '\n';
        return false;
    }

    CZemUnit& m_unit;
    std::ostream& m_out;
    std::ostream& m_err;
    std::map<CellKey, Value> m_values;
    std::set<int> m_sheetsGiven;
    std::set<std::pair<int, int>> m_rowsGiven;
    int m_refused = 0;
    int m_corrected = 0;
};

// Parses a configuration file's text; the root object, or null with the reason told on err. Names given
// twice in one object are an error of the file, as JSON leaves them open.
bool ParseConfig(const std::string& text, const std::string& name, Json& root, std::ostream& err) {
    if (const auto [line, column] = TooDeep(text, MAX_CONFIG_DEPTH); line) {
        err << "tavik-cli: " << name << " is not a Tavik configuration: nested too deeply at line " << line
            << ", column " << column << '\n';
        return false;
    }
    std::vector<std::set<std::string>> keys;
    std::string twice;
    const auto callback = [&](int, Json::parse_event_t event, Json& parsed) {
        if (event == Json::parse_event_t::object_start)
            keys.emplace_back();
        else if (event == Json::parse_event_t::object_end && !keys.empty())
            keys.pop_back();
        else if (event == Json::parse_event_t::key && !keys.empty() &&
                 !keys.back().insert(parsed.get<std::string>()).second && twice.empty())
            twice = parsed.get<std::string>();
        return true;
    };
    try {
        root = Json::parse(text, callback);
    } catch (const Json::parse_error& error) {
        err << "tavik-cli: " << name << " is not valid JSON: " << ParseErrorText(error.what()) << '\n';
        return false;
    }
    if (!twice.empty()) {
        err << "tavik-cli: " << name << " is not a Tavik configuration: \"" << twice
            << "\" is given twice in one object\n";
        return false;
    }
    const Json* format = root.is_object() && root.contains("format") ? &root["format"] : nullptr;
    if (!format || *format != g_strConfigFormat) {
        err << "tavik-cli: " << name << " is not a Tavik configuration: it does not begin with \"format\": \""
            << g_strConfigFormat << "\" (tavik-cli export writes one)\n";
        return false;
    }
    const Json* version = root.contains("version") ? &root["version"] : nullptr;
    if (!version || !version->is_number_integer() || *version != CONFIG_FORMAT_VERSION) {
        err << "tavik-cli: " << name << " is a Tavik configuration of format version "
            << (version ? version->dump() : std::string("(none)")) << "; this tavik-cli reads version "
            << CONFIG_FORMAT_VERSION << '\n';
        return false;
    }
    return true;
}
} // namespace

int RunExport(const std::string& path, const std::string& outPath, std::istream& in, std::ostream& out,
              std::ostream& err) {
    if (!CheckOutput(outPath, err)) return CLI_FAILED;
    CTavikDoc document;
    if (!LoadDocument(document, path, in, err)) return CLI_BAD_FILE;
    return WriteOutput(outPath, ExportConfig(*document.GetZemUnit()), out, err) ? CLI_OK : CLI_FAILED;
}

int RunImport(const std::string& configPath, const std::string& outPath, const ImportOptions& options,
              std::istream& in, std::ostream& out, std::ostream& err) {
    if (!CheckOutput(outPath, err)) return CLI_FAILED;
    const std::string name = IsStdio(configPath) ? std::string("standard input") : "'" + configPath + "'";
    std::string text;
    std::string error;
    if (!ReadInput(configPath, in, MAX_CONFIG_BYTES, text, error)) {
        err << "tavik-cli: " << error << (error.ends_with("too large") ? " to be a Tavik configuration" : "")
            << '\n';
        return CLI_BAD_FILE;
    }
    Json root;
    if (!ParseConfig(text, name, root, err)) return CLI_BAD_FILE;

    // On top of an existing document the text is a patch; otherwise it starts from the defaults, and what
    // it leaves out is listed.
    CTavikDoc document;
    if (options.onto.empty())
        document.OnNewDocument();
    else if (!LoadDocument(document, options.onto, in, err))
        return CLI_BAD_FILE;
    // The document goes to standard output when OUT is "-": the per-value lines then go to err.
    CImport import(*document.GetZemUnit(), IsStdio(outPath) ? err : out, err);
    if (!import.Collect(root)) return CLI_BAD_FILE;
    if (options.onto.empty()) import.ListMissing(options.strict);
    import.Apply(options.answerYes, options.strict, !options.onto.empty());
    if (import.Refused()) {
        err << "tavik-cli: " << import.Refused() << (import.Refused() == 1 ? " value" : " values")
            << " refused" << (options.strict ? " (corrections and values left out count with --strict)" : "")
            << "; nothing written\n";
        return CLI_FAILED;
    }
    if (!SaveDocument(document, outPath, out, err)) return CLI_FAILED;
    if (import.Corrected())
        err << "tavik-cli: " << import.Corrected() << (import.Corrected() == 1 ? " value" : " values")
            << " corrected as listed; written\n";
    return CLI_OK;
}
