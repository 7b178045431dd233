#include "model/CArchive.h"
#include "model/CBrantSetupType.h"
#include "model/CScriptedPrompt.h"
#include "model/CTavikDoc.h"
#include "model/CZemUnit.h"
#include "sheets/general/CGeneral.h"
#include "support/LegacyDocument.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <tuple>
#include <unistd.h>

namespace {
using Bytes = std::vector<std::uint8_t>;

std::string Value(CTavikDoc& doc, int sheet, int row, int col) {
    const CBrChnData* cell = doc.GetZemUnit()->GetSetupType(sheet)->GetDataSheet()->GetCellChecked(row, col);
    return cell ? cell->GetDataAsString() : "<none>";
}

class DocumentFile : public ::testing::Test {
protected:
    DocumentFile() { doc.OnNewDocument(); }
    CScriptedPrompt prompt{true};
    CTavikDoc doc;
};
} // namespace

TEST_F(DocumentFile, DefaultDocumentBeginsAsSpecifiedAndIsStable) {
    const Bytes bytes = doc.SaveToBytes();
    const Bytes head = {0x03, 0, 0, 0, 0x07, 'G', 'e', 'n', 'e', 'r', 'a', 'l', 0, 0, 0, 0};
    ASSERT_GT(bytes.size(), head.size());
    EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + static_cast<long>(head.size())), head);

    CTavikDoc other;
    other.OnNewDocument();
    EXPECT_EQ(other.SaveToBytes(), bytes) << "a default document is always the same bytes";
}

TEST_F(DocumentFile, RoundTripKeepsEveryEdit) {
    CZemUnit& unit = *doc.GetZemUnit();
    ASSERT_TRUE(unit.GetSetupType(0)->ValidateData(3, 1, "17"));
    ASSERT_TRUE(unit.GetSetupType(0)->ValidateData(11, 1, "+REF"));
    ASSERT_TRUE(unit.GetSetupType(1)->ValidateData(1, 1, "20 mA"));
    const Bytes saved = doc.SaveToBytes();

    CTavikDoc loaded;
    std::string error;
    ASSERT_TRUE(loaded.LoadFromBytes(saved, error)) << error;
    EXPECT_EQ(Value(loaded, 0, 11, 1), "+REF");
    EXPECT_EQ(loaded.SaveToBytes(), saved) << "and so every other edit";
    EXPECT_EQ(loaded.GetZemUnit()->GetReadVersion(), 3u);
}

TEST_F(DocumentFile, LegacyVersionsLoadWithTheirRepairs) {
    CGeneral& general = *static_cast<CGeneral*>(doc.GetZemUnit()->GetSetupType(0));
    general.SetParm(6, 1, "19200"); // RS 232
    general.SetParm(5, 1, "1200");  // RS 485
    general.SetParm(4, 1, "MODBUS");
    // Older programs stored the texts of these lists as their codes; the last item is selected in each.
    // Row, items, the text shown after loading.
    const std::tuple<int, std::vector<std::string>, const char*> oldLists[] = {
        {11, {"0", "1", "2"}, "-REF"},
        {9, {"0", "1", "2"}, "RESET 3"},
        {1, {"0", "3000", "3033"}, "CONF + GEN"},
        {2, {"0", "33"}, "ON"}};
    for (const auto& [row, items, shown] : oldLists) {
        CBrChnData& cell = *general.GetDataSheet()->GetProperty(row, 1);
        cell.GetData() = items;
        cell.m_nSel = static_cast<int>(items.size()) - 1;
    }

    for (unsigned version : {0u, 1u, 2u}) {
        SCOPED_TRACE(version);
        const Bytes bytes = LegacyDocument(doc, version);
        CTavikDoc loaded;
        std::string error;
        ASSERT_TRUE(loaded.LoadFromBytes(bytes, error)) << error;
        EXPECT_EQ(loaded.GetZemUnit()->GetReadVersion(), version);
        EXPECT_EQ(Value(loaded, 0, 6, 1), "19200");
        EXPECT_EQ(Value(loaded, 0, 5, 1), "1200");
        for (const auto& [row, items, shown] : oldLists)
            EXPECT_EQ(Value(loaded, 0, row, 1), shown) << row;
        EXPECT_EQ(Value(loaded, 0, 4, 1), version == 2 ? "MODBUS" : "BRANT BUS");
        EXPECT_EQ(Value(loaded, 0, 1, 0), "Initialization") << "labels come from the program";
        EXPECT_EQ(Value(loaded, 0, 20, 1), "NON");
    }
}

TEST_F(DocumentFile, EveryTruncationFailsAndLeavesADefaultDocument) {
    ASSERT_TRUE(doc.GetZemUnit()->GetSetupType(0)->ValidateData(3, 1, "9"));
    const Bytes full = doc.SaveToBytes();
    CTavikDoc fresh;
    fresh.OnNewDocument();
    const Bytes defaults = fresh.SaveToBytes();

    CTavikDoc loaded;
    std::size_t tried = 0;
    for (std::size_t length = 0; length < full.size();
         length += (length < 64 || full.size() - length < 64) ? 1 : 97) {
        std::string error;
        ASSERT_FALSE(
            loaded.LoadFromBytes(Bytes(full.begin(), full.begin() + static_cast<long>(length)), error))
            << length;
        EXPECT_FALSE(error.empty());
        ++tried;
        if (tried % 50 == 0) {
            ASSERT_EQ(loaded.SaveToBytes(), defaults) << "after a failed load at " << length;
        }
    }
    EXPECT_EQ(loaded.SaveToBytes(), defaults);
    Bytes longer = full;
    longer.push_back(0);
    std::string error;
    EXPECT_FALSE(loaded.LoadFromBytes(longer, error))
        << "trailing bytes are not a document this program wrote";
}

TEST_F(DocumentFile, DamagedHeadersAreRefused) {
    Bytes bytes = doc.SaveToBytes();
    bytes[12] = 9; // the General record claims to be another setup type
    std::string error;
    EXPECT_FALSE(doc.LoadFromBytes(bytes, error));
    EXPECT_NE(error.find("General"), std::string::npos) << error;
    bytes = doc.SaveToBytes();
    bytes[0] = 4;
    EXPECT_FALSE(doc.LoadFromBytes(bytes, error)) << "a newer program's layout is not guessed at";
    EXPECT_NE(error.find("newer"), std::string::npos) << error;
    EXPECT_FALSE(doc.LoadFromBytes(Bytes{}, error));
    EXPECT_FALSE(doc.LoadFromBytes(Bytes(100000, 0xFF), error));
}

TEST_F(DocumentFile, SavingReplacesTheFileOnlyWhenComplete) {
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("tavik-doc-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    const std::string path = (dir / "unit.zmg").string();
    std::string error;
    ASSERT_TRUE(doc.OnSaveDocument(path, error)) << error;
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(doc.GetPathName(), path);

    CTavikDoc reopened;
    ASSERT_TRUE(reopened.OnOpenDocument(path, error)) << error;
    EXPECT_EQ(reopened.SaveToBytes(), doc.SaveToBytes());

    // The file replaced keeps its permissions (a mode no umask gives a new file).
    namespace fs = std::filesystem;
    const fs::perms mode = fs::perms::owner_read | fs::perms::owner_write | fs::perms::others_read;
    fs::permissions(path, mode);
    ASSERT_TRUE(doc.OnSaveDocument(path, error)) << error;
    EXPECT_EQ(fs::status(path).permissions(), mode);

    EXPECT_FALSE(reopened.OnOpenDocument(dir.string(), error)) << "a directory is no document";
    EXPECT_FALSE(reopened.OnOpenDocument((dir / "missing.zmg").string(), error));
    EXPECT_NE(error.find("missing.zmg"), std::string::npos);

    // A save into a folder that does not exist fails and leaves nothing behind.
    EXPECT_FALSE(doc.OnSaveDocument((dir / "no" / "such.zmg").string(), error));
    std::size_t files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir))
        ++files;
    EXPECT_EQ(files, 1u) << "no temporary file left over";
    std::filesystem::remove_all(dir);
}

TEST_F(DocumentFile, UnitQueries) {
    CZemUnit& unit = *doc.GetZemUnit();
    EXPECT_EQ(unit.GetTitle(4), "");
    EXPECT_EQ(unit.GetTitle(-1), "");
    SETUP_TYPE types[4];
    std::string titles[4];
    unsigned count = 0;
    EXPECT_EQ(unit.GetNumTypeSetup(types, titles, count), 1);
    EXPECT_EQ(count, 4u);
    CDataSheet* sheet = nullptr;
    ASSERT_EQ(unit.GetDataSheet(SETUP_ALARM, &sheet), 1);
    EXPECT_EQ(sheet->GetNumSections(), 49);
    EXPECT_EQ(sheet->GetProperty(1, 1), unit.GetSetupType(3)->GetDataSheet()->GetProperty(1, 1));
    delete sheet->m_pSections;
    delete sheet;
    IBrantSetupType* setups[4];
    EXPECT_EQ(doc.GetBrSetup(setups), 4u);
    EXPECT_EQ(IBrantSetupType::m_pBrantSetupTypes[2], setups[2]);
}
