#include "model/CScriptedPrompt.h"
#include "sheets/general/CGeneral.h"
#include "support/LegacyDocument.h"
#include "support/RandomEdit.h"
#include "unit/CAlsoChanged.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

namespace {
using Bytes = std::vector<std::uint8_t>;

std::string Value(CTavikDoc& doc, int sheet, int row, int col) {
    const CBrChnData* cell = doc.GetZemUnit()->GetSetupType(sheet)->GetDataSheet()->GetCellChecked(row, col);
    return cell ? cell->GetDataAsString() : "<none>";
}

class DocumentFile : public ::testing::Test {
protected:
    DocumentFile() { doc.OnNewDocument(); }
    CScriptedPrompt prompt{true}; // confirmations answered OK, so that every kind of edit happens
    CTavikDoc doc;
    CBrantSetupType& Sheet(int type) { return *doc.GetZemUnit()->GetSetupType(type); }
};
} // namespace

// Random edits of every sheet, with long texts and thousands of LCD units: what is saved loads again and
// saves to the same bytes. Each round goes on editing the loaded document, whose sheets the setup-type
// table names now.
TEST_F(DocumentFile, WhatIsSavedLoadsAgain) {
    auto current = std::make_unique<CTavikDoc>();
    current->OnNewDocument();
    std::mt19937 random(20261206);
    int units = 0;
    for (int round = 0; round < 4; ++round) {
        CZemUnit& unit = *current->GetZemUnit();
        for (int step = 0; step < 400; ++step)
            RandomEdit(unit, random, units, true);
        if (round == 1) { // more units than a cell held when the loader counted items per cell
            ASSERT_TRUE(unit.GetSetupType(1)->ValidateData(1, 1, "24 V"));
            for (int n = 0; n < 4100; ++n)
                unit.GetSetupType(1)->ValidateData(1, 2, UnitName(units++));
        }
        const Bytes saved = current->SaveToBytes();
        auto loaded = std::make_unique<CTavikDoc>();
        std::string error;
        ASSERT_TRUE(loaded->LoadFromBytes(saved, error)) << "round " << round << ": " << error;
        ASSERT_EQ(loaded->SaveToBytes(), saved) << "round " << round;
        EXPECT_EQ(loaded->GetZemUnit()->GetReadVersion(), 3u);
        current = std::move(loaded);
    }
}

// Undo and Redo over whole configurations: random edits, undone and redone step by step.
TEST_F(DocumentFile, UndoAndRedoReturnToEveryEarlierDocumentByteForByte) {
    std::vector<Bytes> states{doc.SaveToBytes()};
    // Active inputs and alarms, so that most random edits are taken.
    for (int row = 1; row <= 24; ++row)
        Sheet(SETUP_PHYSICAL_INPUT).ValidateData(row, 1, "24 V");
    for (int row = 1; row <= 48; ++row)
        Sheet(SETUP_ALARM).ValidateData(row, 1, "IN 11");
    ASSERT_TRUE(doc.RecordUndoStep());
    states.push_back(doc.SaveToBytes());
    std::mt19937 random(1207);
    int units = 0;
    for (int step = 0; step < 600; ++step) {
        RandomEdit(*doc.GetZemUnit(), random, units, false);
        if (doc.RecordUndoStep()) states.push_back(doc.SaveToBytes());
    }
    ASSERT_GT(states.size(), CUndoHistory::MAX_STATES)
        << "enough edits change the configuration to fill the history";
    // The history keeps the newest states; the oldest ones beyond its size are gone.
    const std::size_t kept = CUndoHistory::MAX_STATES;
    doc.SetModifiedFlag(1);
    for (std::size_t back = 1; back < kept; ++back) {
        ASSERT_TRUE(doc.Undo()) << back;
        ASSERT_EQ(doc.SaveToBytes(), states[states.size() - 1 - back]) << "undo step " << back;
    }
    EXPECT_FALSE(doc.Undo()) << "no further than the history keeps";
    for (std::size_t forward = states.size() - kept + 1; forward < states.size(); ++forward) {
        ASSERT_TRUE(doc.Redo());
        ASSERT_EQ(doc.SaveToBytes(), states[forward]) << "redo to state " << forward;
    }
    EXPECT_FALSE(doc.Redo());
}

TEST_F(DocumentFile, ModifiedFollowsTheSavedStateAndANewEditDropsRedo) {
    const Bytes fresh = doc.SaveToBytes();
    ASSERT_TRUE(Sheet(SETUP_GENERAL).ValidateData(3, 1, "17"));
    ASSERT_TRUE(doc.RecordUndoStep());
    doc.SetModifiedFlag(1);
    EXPECT_FALSE(doc.RecordUndoStep()) << "an unchanged configuration is no step";
    ASSERT_TRUE(doc.Undo());
    EXPECT_FALSE(doc.IsModified()) << "back at the saved state";
    EXPECT_EQ(doc.SaveToBytes(), fresh);
    ASSERT_TRUE(doc.Redo());
    EXPECT_TRUE(doc.IsModified());
    doc.SetModifiedFlag(0); // saved here
    ASSERT_TRUE(doc.Undo());
    EXPECT_TRUE(doc.IsModified()) << "the saved state is now the later one";
    ASSERT_TRUE(Sheet(SETUP_GENERAL).ValidateData(3, 1, "18"));
    ASSERT_TRUE(doc.RecordUndoStep());
    EXPECT_FALSE(doc.CanRedo()) << "a new edit after Undo drops what Redo could bring back";
    ASSERT_TRUE(doc.Undo() && doc.Redo());
    EXPECT_TRUE(doc.IsModified()) << "the saved state went with the dropped step";
    // A change not recorded yet is dropped by going back to the current step (a failed download).
    ASSERT_TRUE(Sheet(SETUP_GENERAL).ValidateData(3, 1, "19"));
    ASSERT_TRUE(doc.RevertToUndoStep());
    EXPECT_EQ(Value(doc, SETUP_GENERAL, 3, 1), "18");
}

// What each edit changed besides its own cell, as the frame tells it: only the cells since the edit before,
// and in the summary only those outside the edited sheet.
TEST_F(DocumentFile, AlsoChangedTellsEachEditsCellsOnOtherSheets) {
    CZemUnit& unit = *doc.GetZemUnit();
    CAlsoChanged changes;
    changes.Reset(unit);
    std::vector<ConfigDifference> others;
    const struct {
        int sheet, row, col;
        std::string value, title, summary;
    } edits[] = {
        {SETUP_PHYSICAL_INPUT, 1, 1, "24 V", "Physical Input", ""},
        {SETUP_LOGICAL_INPUT, 1, 1, "IN 11", "Logical Input", ""},
        {SETUP_ALARM, 1, 1, "IN 11", "Alarm", ""},
        {SETUP_PHYSICAL_INPUT, 1, 6, "100", "Physical Input",
         "Also changed: 2 cells on Logical Input and Alarm"},
        {SETUP_GENERAL, 3, 1, "12", "General", ""},
    };
    for (const auto& e : edits) {
        ASSERT_TRUE(Sheet(e.sheet).ValidateData(e.row, e.col, e.value)) << e.value;
        const std::vector<ConfigDifference> changed = changes.Take(unit);
        EXPECT_EQ(CAlsoChanged::Summary(changed, e.title, others), e.summary) << e.value;
        for (const ConfigDifference& d : others)
            EXPECT_EQ(d.second, e.value) << d.sheet << " " << d.row << " " << d.column;
    }
    EXPECT_TRUE(changes.Take(unit).empty()) << "nothing changed since the last edit";
}

// Older programs stored the texts of some General lists as their codes, and versions 0 and 1 kept the rows
// in another order without the protocol row. Every old version loads with these repaired.
TEST_F(DocumentFile, LegacyVersionsLoadWithTheirRepairs) {
    CGeneral& general = *static_cast<CGeneral*>(doc.GetZemUnit()->GetSetupType(0));
    general.SetParm(6, 1, "19200"); // RS 232
    general.SetParm(5, 1, "1200");  // RS 485
    general.SetParm(4, 1, "MODBUS");
    // Row, stored items (the last one selected), the text shown after loading.
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
    // Version, the protocol shown (the default where the version had no such row), and the General title
    // the writing program used (a translated one too): it is the title the document keeps.
    for (const auto& [version, protocol, title] : std::vector<std::tuple<unsigned, const char*, const char*>>{
             {0, "BRANT BUS", "General"}, {1, "BRANT BUS", "Allgemein"}, {2, "MODBUS", "G\xE9n\xE9ral"}}) {
        SCOPED_TRACE(version);
        CTavikDoc loaded;
        std::string error;
        ASSERT_TRUE(loaded.LoadFromBytes(LegacyDocument(doc, version, title), error)) << error;
        EXPECT_EQ(loaded.GetZemUnit()->GetReadVersion(), version);
        EXPECT_EQ(loaded.GetZemUnit()->GetSetupType(0)->GetTitle(), title);
        EXPECT_EQ(Value(loaded, 0, 4, 1), protocol);
        EXPECT_EQ(Value(loaded, 0, 6, 1), "19200");
        EXPECT_EQ(Value(loaded, 0, 5, 1), "1200");
        for (const auto& [row, items, shown] : oldLists)
            EXPECT_EQ(Value(loaded, 0, row, 1), shown) << row;
        EXPECT_EQ(Value(loaded, 0, 1, 0), "Initialization") << "labels come from the program";
        EXPECT_EQ(Value(loaded, 0, 20, 1), "NON");
    }
}

// Every cut-short document, one stray byte after the last record, a damaged header or a newer layout is
// refused with a message, and the failed load leaves a default document: always the same bytes.
TEST_F(DocumentFile, DamagedDocumentsAreRefused) {
    const Bytes defaults = doc.SaveToBytes();
    const Bytes head = {0x03, 0, 0, 0, 0x07, 'G', 'e', 'n', 'e', 'r', 'a', 'l', 0, 0, 0, 0};
    EXPECT_EQ(Bytes(defaults.begin(), defaults.begin() + static_cast<long>(head.size())), head);
    ASSERT_TRUE(doc.GetZemUnit()->GetSetupType(0)->ValidateData(3, 1, "9"));
    const Bytes full = doc.SaveToBytes();
    CTavikDoc loaded;
    std::string error;
    for (std::size_t length = 0; length < full.size();
         length += (length < 64 || full.size() - length < 64) ? 1 : 97) {
        error.clear();
        ASSERT_FALSE(
            loaded.LoadFromBytes(Bytes(full.begin(), full.begin() + static_cast<long>(length)), error))
            << length;
        EXPECT_FALSE(error.empty());
    }
    EXPECT_EQ(loaded.SaveToBytes(), defaults);
    Bytes bytes = full;
    bytes.push_back(0);
    EXPECT_FALSE(loaded.LoadFromBytes(bytes, error))
        << "trailing bytes are not a document this program wrote";
    // The General record claiming to be another setup type; a newer program's layout is not guessed at; a
    // version word far beyond every layout is some other file.
    for (const auto& [at, value, named] : std::vector<std::tuple<std::size_t, std::uint8_t, const char*>>{
             {12, 9, "General"}, {0, 4, "newer"}, {2, 1, "not a Tavik document"}}) {
        bytes = full;
        bytes[at] = value;
        EXPECT_FALSE(loaded.LoadFromBytes(bytes, error));
        EXPECT_NE(error.find(named), std::string::npos) << error;
    }
    EXPECT_FALSE(loaded.LoadFromBytes(Bytes(100000, 0xFF), error));
    EXPECT_EQ(loaded.SaveToBytes(), defaults);
}

TEST_F(DocumentFile, SavingReplacesTheFileOnlyWhenComplete) {
    namespace fs = std::filesystem;
    const fs::path dir =
        fs::temp_directory_path() /
        ("tavik-doc-" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
    fs::create_directories(dir);
    const std::string path = (dir / "unit.zmg").string();
    auto contents = [](const std::string& file) {
        std::ifstream in(file, std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    };
    auto entries = [&dir] { return std::distance(fs::directory_iterator(dir), fs::directory_iterator()); };
    // An older file is there: the save replaces it (a plain rename over a file fails on Windows).
    std::ofstream(path, std::ios::binary) << "older contents";
    ASSERT_TRUE(doc.GetZemUnit()->GetSetupType(0)->ValidateData(11, 1, "+REF"));
    std::string error;
    ASSERT_TRUE(doc.OnSaveDocument(path, error)) << error;
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(doc.GetPathName(), path);
    EXPECT_EQ(contents(path), doc.SaveToBytes());
    EXPECT_EQ(entries(), 1) << "no temporary file left over";
    CTavikDoc reopened;
    ASSERT_TRUE(reopened.OnOpenDocument(path, error)) << error;
    EXPECT_EQ(Value(reopened, 0, 11, 1), "+REF");
    EXPECT_EQ(reopened.SaveToBytes(), doc.SaveToBytes());
#ifndef _WIN32
    // The file replaced keeps its permissions (a mode no umask gives a new file); Windows has none of these.
    const fs::perms mode = fs::perms::owner_read | fs::perms::owner_write | fs::perms::others_read;
    fs::permissions(path, mode);
    ASSERT_TRUE(doc.OnSaveDocument(path, error)) << error;
    EXPECT_EQ(fs::status(path).permissions(), mode);
#endif
    EXPECT_FALSE(reopened.OnOpenDocument(dir.string(), error)) << "a directory is no document";
    EXPECT_FALSE(reopened.OnOpenDocument((dir / "missing.zmg").string(), error));
    EXPECT_NE(error.find("missing.zmg"), std::string::npos);

    // Saves that fail leave what was there whole and nothing temporary: a folder that does not exist, a
    // folder in the way of the file, and (on Windows) a file that another program holds open.
    EXPECT_FALSE(doc.OnSaveDocument((dir / "no" / "such.zmg").string(), error));
    fs::create_directories(dir / "folder.zmg");
    std::ofstream((dir / "folder.zmg" / "inside").string()) << "kept";
    EXPECT_FALSE(doc.OnSaveDocument((dir / "folder.zmg").string(), error));
    EXPECT_TRUE(fs::is_regular_file(dir / "folder.zmg" / "inside"));
#ifdef _WIN32
    std::ofstream(path, std::ios::binary) << "older contents";
    {
        std::ifstream holder(path, std::ios::binary);
        ASSERT_TRUE(holder.is_open());
        EXPECT_FALSE(doc.OnSaveDocument(path, error)) << "the file is held open";
    }
    EXPECT_EQ(contents(path), Bytes({'o', 'l', 'd', 'e', 'r', ' ', 'c', 'o', 'n', 't', 'e', 'n', 't', 's'}));
#endif
    EXPECT_EQ(entries(), 2) << "no temporary file left over";
    fs::remove_all(dir);
}
