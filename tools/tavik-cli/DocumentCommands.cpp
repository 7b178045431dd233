// new, dump and edit: the document commands of tavik-cli.
#include "tools/tavik-cli/CliCommands.h"
#include "tools/tavik-cli/CliPrompt.h"
#include "tools/tavik-cli/DocumentDump.h"

#include "model/CBrantSetupType.h"
#include "unit/CTavikDoc.h"
#include "unit/CZemUnit.h"
#include "model/Cp1252.h"
#include "model/Messages.h"
#include "model/PopupPaste.h"

#include <cstdlib>

namespace {
bool Load(CTavikDoc& document, const std::string& path, std::ostream& err) {
    std::string error;
    if (document.OnOpenDocument(path, error)) return true;
    err << "tavik-cli: " << error << '\n';
    return false;
}

bool Save(CTavikDoc& document, const std::string& path, std::ostream& err) {
    std::string error;
    if (document.OnSaveDocument(path, error)) return true;
    err << "tavik-cli: " << error << '\n';
    return false;
}

int ParseSheet(const std::string& text) {
    static const char* const names[SETUP_TYPE_COUNT] = {"general", "physical", "logical", "alarm"};
    for (int i = 0; i < SETUP_TYPE_COUNT; ++i)
        if (text == names[i] || text == std::to_string(i)) return i;
    return -1;
}

bool ParseIndex(const std::string& text, int& value) {
    if (text.empty() || text.size() > 4 || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    value = std::atoi(text.c_str());
    return true;
}

struct Edit {
    int sheet;
    int row;
    int col;
    std::string text; // UTF-8, as given
};
} // namespace

int RunNew(const std::string& path, std::ostream& err) {
    CTavikDoc document;
    document.OnNewDocument();
    return Save(document, path, err) ? CLI_OK : CLI_FAILED;
}

int RunDump(const std::string& path, bool json, std::ostream& out, std::ostream& err) {
    CTavikDoc document;
    if (!Load(document, path, err)) return CLI_BAD_FILE;
    if (json)
        out << DumpJson(document).dump(2) << '\n';
    else
        DumpText(document, out);
    return CLI_OK;
}

int RunEdit(const std::string& path, bool answerYes, const std::vector<std::string>& args, std::ostream& out,
            std::ostream& err) {
    if (args.empty() || args.size() % 4 != 0) {
        err << "tavik-cli: edits come as SHEET ROW COL TEXT, four words each\n";
        return CLI_USAGE;
    }
    CTavikDoc document;
    if (!Load(document, path, err)) return CLI_BAD_FILE;
    CZemUnit& unit = *document.GetZemUnit();

    // Every edit is checked before any is made: a typo must not leave half the edits applied.
    std::vector<Edit> edits;
    for (std::size_t i = 0; i < args.size(); i += 4) {
        Edit edit{ParseSheet(args[i]), 0, 0, args[i + 3]};
        if (edit.sheet < 0) {
            err << "tavik-cli: unknown sheet '" << args[i]
                << "' (general, physical, logical, alarm or 0..3)\n";
            return CLI_USAGE;
        }
        CBrantSetupType* setup = unit.GetSetupType(edit.sheet);
        const CDataSheet* sheet = setup->GetDataSheet();
        // Only the cells the grid lets a user edit: not the header row or column, not the hidden rows.
        if (!ParseIndex(args[i + 1], edit.row) || !ParseIndex(args[i + 2], edit.col) || edit.row < 1 ||
            edit.row >= setup->GetNumChannels() || edit.col < 1 || edit.col >= sheet->GetNumCells(edit.row)) {
            err << "tavik-cli: there is no editable cell at row " << args[i + 1] << ", column " << args[i + 2]
                << " of the " << Utf8FromCp1252(setup->GetTitle()) << " sheet\n";
            return CLI_USAGE;
        }
        edits.push_back(std::move(edit));
    }

    CCliPrompt prompt(err, answerYes);
    for (const Edit& edit : edits) {
        CBrantSetupType* setup = unit.GetSetupType(edit.sheet);
        const CBrChnData* cell = setup->GetDataSheet()->GetCellChecked(edit.row, edit.col);
        // As in the grid: a character the document cannot store refuses the edit, and a text longer than
        // the cell takes is cut.
        std::string text;
        std::string refused;
        if (!Cp1252FromUtf8(edit.text, text, refused)) {
            out << "refused: " << g_strNotCp1252 << " (" << refused << ")\n";
            continue;
        }
        if (cell) {
            std::string fitted = cell->FitToMaxLength(text);
            if (fitted != text)
                err << "tavik-cli: \"" << edit.text << "\" is cut to " << cell->m_nMaxTextLen
                    << " characters: \"" << Utf8FromCp1252(fitted) << "\"\n";
            text = std::move(fitted);
        }
        // Popup cells take letters naming their properties, as when pasted into the grid.
        if (cell && cell->m_nStyle == CTRL_STYLE_POPUP) ApplyPopupPasteText(*setup, edit.row, edit.col, text);
        if (setup->ValidateData(edit.row, edit.col, text)) {
            out << "ok\n";
        } else {
            const int id = setup->GetLastError();
            out << "refused " << id << ": " << Utf8FromCp1252(LoadMessage(static_cast<unsigned>(id))) << '\n';
        }
    }
    return Save(document, path, err) ? CLI_OK : CLI_FAILED;
}
