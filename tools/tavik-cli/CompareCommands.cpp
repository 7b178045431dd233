// compare and diff: which cells differ between a document and the unit, or between two documents.
#include "tools/tavik-cli/CliCommands.h"
#include "tools/tavik-cli/CliFiles.h"

#include "model/CDownloadCorrections.h"
#include "model/Cp1252.h"
#include "unit/CTavikDoc.h"
#include "unit/CZemUnit.h"
#include "unit/ConfigCompare.h"

#include <iostream>
#include <optional>

namespace {
// The values of a document file; nothing when it cannot be read (the reason is on `err`). The document is
// gone before the caller makes another one, so that the sheets of one configuration refer to each other.
std::optional<ConfigValues> ReadDocument(const std::string& path, std::istream& in, std::ostream& err) {
    CTavikDoc document;
    if (!LoadDocument(document, path, in, err)) return std::nullopt;
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
    const std::optional<ConfigValues> document = ReadDocument(path, std::cin, err);
    if (!document) return CLI_BAD_FILE;
    CTavikDoc unit;
    unit.OnNewDocument();
    if (const int result = RunTransfer(unit, 1, options, err); result != CLI_OK) return result;
    ConfigValues inUnit = ReadConfigValues(*unit.GetZemUnit());
    TakeUnitValues(inUnit, unit.GetZemUnit()->GetCorrections().GetList());
    return Report(*document, inUnit, "Document", "Unit", out);
}

int RunDiff(const std::string& first, const std::string& second, std::istream& in, std::ostream& out,
            std::ostream& err) {
    if (IsStdio(first) && IsStdio(second)) {
        err << "tavik-cli: only one of the two documents can come from standard input\n";
        return CLI_USAGE;
    }
    const std::optional<ConfigValues> a = ReadDocument(first, in, err);
    if (!a) return CLI_BAD_FILE;
    const std::optional<ConfigValues> b = ReadDocument(second, in, err);
    if (!b) return CLI_BAD_FILE;
    return Report(*a, *b, Cp1252FromUtf8(first), Cp1252FromUtf8(second), out);
}
