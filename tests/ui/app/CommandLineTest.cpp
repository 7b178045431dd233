// What `tavik` makes of its command line, before any window exists. The built program itself is run by
// ProgramCommandLine.sh, without a display.
#include "ui/app/CommandLine.h"

#include <gtest/gtest.h>

TEST(CommandLine, OptionsDocumentsAndTheTwoOrdersOfExportPdf) {
    using A = TavikCommand::Action;
    struct Case {
        std::vector<std::string> arguments;
        A action;
        std::string document, pdf, error;
    };
    const Case cases[] = {
        {{}, A::OpenWindow, "", "", ""},
        {{"site.zmg"}, A::OpenWindow, "site.zmg", "", ""},
        {{"-platform", "offscreen", "site.zmg", "-reverse"}, A::OpenWindow, "site.zmg", "", ""},
        {{"--style=fusion", "--", "-odd.zmg"}, A::OpenWindow, "-odd.zmg", "", ""},
        {{"site.zmg", "--help"}, A::Help, "", "", ""},
        {{"-h"}, A::Help, "", "", ""},
        {{"--version", "--bogus"}, A::Version, "", "", ""},
        {{"--export-pdf", "site.zmg", "out.pdf"}, A::ExportPdf, "site.zmg", "out.pdf", ""},
        {{"--export-pdf", "out.PDF", "site.zmg"}, A::ExportPdf, "site.zmg", "out.PDF", ""},
        {{"--export-pdf", "a", "b"}, A::ExportPdf, "a", "b", ""},
        {{"--export-pdf", "site.zmg"}, A::Wrong, "", "", "--export-pdf takes FILE.zmg OUT.pdf"},
        {{"--bogus", "site.zmg"}, A::Wrong, "", "", "unknown option '--bogus'"},
        {{"-x"}, A::Wrong, "", "", "unknown option '-x'"},
        {{"a.zmg", "b.zmg"}, A::Wrong, "", "", "more than one document named: 'b.zmg'"},
    };
    for (const Case& c : cases) {
        const TavikCommand command = ParseTavikCommandLine(c.arguments);
        std::string line;
        for (const std::string& a : c.arguments)
            line += a + ' ';
        EXPECT_EQ(command.action, c.action) << line;
        EXPECT_EQ(command.document, c.document) << line;
        EXPECT_EQ(command.pdf, c.pdf) << line;
        EXPECT_EQ(command.error, c.error) << line;
    }
    EXPECT_NE(TavikUsageText().find("--export-pdf FILE.zmg OUT.pdf"), std::string::npos);
}
