// new, dump, edit and columns: the document commands of tavik-cli.
#include "tools/tavik-cli/CellEdit.h"
#include "tools/tavik-cli/CellNames.h"
#include "tools/tavik-cli/CliCommands.h"
#include "tools/tavik-cli/CliFiles.h"
#include "tools/tavik-cli/CliPrompt.h"
#include "tools/tavik-cli/DocumentDump.h"

#include "model/CBrantSetupType.h"
#include "model/Cp1252.h"
#include "unit/CTavikDoc.h"
#include "unit/CZemUnit.h"

#include <sys/stat.h>

namespace {
struct Edit {
    int sheet;
    int row;
    int col;
    std::string text; // UTF-8, as given
};

// A sheet with a single value column (General) lets the column be left out: "general 3 7".
bool NamesValueColumn(const std::string& word) {
    return word == "1" || NameForm(word) == "selections";
}
} // namespace

bool IsEditComplete(const std::vector<std::string>& words) {
    if (words.size() >= 4) return true;
    return words.size() == 3 && FindSheet(words[0]) == SETUP_GENERAL && !NamesValueColumn(words[2]);
}

bool SplitEditWords(const std::vector<std::string>& words, std::vector<std::vector<std::string>>& edits) {
    std::vector<std::string> group;
    for (const std::string& word : words) {
        group.push_back(word);
        if (IsEditComplete(group)) {
            if (group.size() == 3) group.insert(group.begin() + 2, "1");
            edits.push_back(std::move(group));
            group.clear();
        }
    }
    // "general 3 1" at the end: the 1 is the value.
    if (group.size() == 3 && FindSheet(group[0]) == SETUP_GENERAL) {
        group.insert(group.begin() + 2, "1");
        edits.push_back(std::move(group));
        group.clear();
    }
    return group.empty() && !edits.empty();
}

int RunNew(const std::string& path, bool force, std::ostream& out, std::ostream& err) {
    struct stat info {};
    if (!force && !IsStdio(path) && ::stat(path.c_str(), &info) == 0) {
        err << "tavik-cli: '" << path << "' exists; give --force to replace it with a new document\n";
        return CLI_FAILED;
    }
    if (!CheckOutput(path, err)) return CLI_FAILED;
    CTavikDoc document;
    document.OnNewDocument();
    return SaveDocument(document, path, out, err) ? CLI_OK : CLI_FAILED;
}

int RunDump(const std::string& path, bool json, std::istream& in, std::ostream& out, std::ostream& err) {
    CTavikDoc document;
    if (!LoadDocument(document, path, in, err)) return CLI_BAD_FILE;
    if (json)
        out << DumpJson(document).dump(2) << '\n';
    else
        DumpText(document, out);
    return FinishOutput(out, err) ? CLI_OK : CLI_FAILED;
}

int RunEdit(const std::string& path, bool answerYes, const std::vector<std::string>& args, std::istream& in,
            std::ostream& standardOut, std::ostream& err) {
    std::vector<std::vector<std::string>> words;
    if (!SplitEditWords(args, words)) {
        err << "tavik-cli: edits come as SHEET ROW COL TEXT (for general also SHEET ROW TEXT)\n";
        return CLI_USAGE;
    }
    CTavikDoc document;
    if (!LoadDocument(document, path, in, err)) return CLI_BAD_FILE;
    // Edits that could not be saved are not made: a read-only file is told before the first answer.
    if (!CheckOutput(path, err)) return CLI_FAILED;
    CZemUnit& unit = *document.GetZemUnit();
    // The document goes to standard output when it came from standard input: the answers then go to err.
    std::ostream& out = IsStdio(path) ? err : standardOut;

    // Every edit is checked before any is made: a typo must not leave half the edits applied.
    std::vector<Edit> edits;
    for (const std::vector<std::string>& edit : words) {
        const int sheet = FindSheet(edit[0]);
        if (sheet < 0) {
            err << "tavik-cli: unknown sheet '" << edit[0] << "' (general, physical, logical, alarm or 0..3";
            if (const std::string near = NearestName(edit[0], SheetWords()); !edit[0].empty())
                err << "; nearest: " << near;
            err << ")\n";
            return CLI_USAGE;
        }
        CBrantSetupType& setup = *unit.GetSetupType(sheet);
        std::string nearest;
        const int row = FindRow(setup, edit[1], nearest);
        if (row < 0) {
            err << "tavik-cli: the " << Utf8FromCp1252(setup.GetTitle()) << " sheet has no row '" << edit[1]
                << "' (rows count from 1 to " << LastEditableRow(setup) << "; nearest: " << nearest << ")\n";
            return CLI_USAGE;
        }
        const int col = FindColumn(setup, edit[2], nearest);
        if (col < 0) {
            err << "tavik-cli: the " << Utf8FromCp1252(setup.GetTitle()) << " sheet has no column '"
                << edit[2] << "' (columns count from 1; nearest: " << nearest << "; see tavik-cli columns "
                << SheetWords()[static_cast<std::size_t>(sheet)] << ")\n";
            return CLI_USAGE;
        }
        edits.push_back({sheet, row, col, edit[3]});
    }

    CCliPrompt prompt(err, answerYes);
    bool refused = false;
    for (const Edit& edit : edits) {
        const EditOutcome outcome =
            ApplyCellEdit(unit, edit.sheet, edit.row, edit.col, edit.text, prompt, true);
        out << PlaceText(unit, edit.sheet, edit.row, edit.col) << ": " << AnswerText(outcome) << '\n';
        for (const ConfigDifference& change : outcome.others)
            out << "  also changed: " << ChangeText(unit, change) << '\n';
        refused = refused || outcome.kind == EditOutcome::Refused;
    }
    if (refused) {
        err << "tavik-cli: an edit was refused; '" << path << "' is left as it was\n";
        return CLI_FAILED;
    }
    return SaveDocument(document, path, standardOut, err) ? CLI_OK : CLI_FAILED;
}
