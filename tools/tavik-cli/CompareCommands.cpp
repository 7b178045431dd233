// compare and diff: which cells differ between a document and the unit, or between two documents.
#include "tools/tavik-cli/CliCommands.h"

#include "model/CDownloadCorrections.h"
#include "unit/CTavikDoc.h"
#include "unit/CZemUnit.h"
#include "unit/ConfigCompare.h"
#include "model/Cp1252.h"

#include <optional>

namespace {
// The values of a document file; nothing when it cannot be read (the reason is on `err`). The document is
// gone before the caller makes another one, so that the sheets of one configuration refer to each other.
std::optional<ConfigValues> ReadDocument(const std::string& path, std::ostream& err) {
    CTavikDoc document;
    std::string error;
    if (!document.OnOpenDocument(path, error)) {
        err << "tavik-cli: " << error << '\n';
        return std::nullopt;
    }
    return ReadConfigValues(*document.GetZemUnit());
}

int Report(const ConfigValues& first, const ConfigValues& second, const std::string& firstTitle,
           const std::string& secondTitle, std::ostream& out) {
    const std::vector<ConfigDifference> differences = CompareConfigValues(first, second);
    if (differences.empty()) {
        out << "No differences.\n";
        return CLI_OK;
    }
    out << Utf8FromCp1252(FormatDifferences(differences, firstTitle, secondTitle));
    return CLI_DIFFERS;
}
} // namespace

int RunCompare(const std::string& path, const TransferOptions& options, std::ostream& out,
               std::ostream& err) {
    const std::optional<ConfigValues> document = ReadDocument(path, err);
    if (!document) return CLI_BAD_FILE;
    CTavikDoc unit;
    unit.OnNewDocument();
    if (const int result = RunTransfer(unit, 1, options, err); result != CLI_OK) return result;
    ConfigValues inUnit = ReadConfigValues(*unit.GetZemUnit());
    TakeUnitValues(inUnit, unit.GetZemUnit()->GetCorrections().GetList());
    return Report(*document, inUnit, "Document", "Unit", out);
}

int RunDiff(const std::string& first, const std::string& second, std::ostream& out, std::ostream& err) {
    const std::optional<ConfigValues> a = ReadDocument(first, err);
    if (!a) return CLI_BAD_FILE;
    const std::optional<ConfigValues> b = ReadDocument(second, err);
    if (!b) return CLI_BAD_FILE;
    return Report(*a, *b, Cp1252FromUtf8(first), Cp1252FromUtf8(second), out);
}
