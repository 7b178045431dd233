// Undo and Redo over whole configurations: random edits of every sheet, undone and redone step by step.
#include "model/CBrantSetupType.h"
#include "model/CScriptedPrompt.h"
#include "unit/CTavikDoc.h"
#include "unit/CZemUnit.h"

#include <gtest/gtest.h>

#include <random>

namespace {
using Bytes = std::vector<std::uint8_t>;

class UndoHistory : public ::testing::Test {
protected:
    UndoHistory() { doc.OnNewDocument(); }
    CScriptedPrompt prompt{true}; // confirmations answered OK, so that every kind of edit happens
    CTavikDoc doc;
    CBrantSetupType& Sheet(int type) { return *doc.GetZemUnit()->GetSetupType(type); }
};
} // namespace

TEST_F(UndoHistory, RandomEditsUndoAndRedoToEveryEarlierDocumentByteForByte) {
    std::vector<Bytes> states{doc.SaveToBytes()};
    // Active inputs and alarms, so that most random edits are taken.
    for (int row = 1; row <= 24; ++row)
        Sheet(SETUP_PHYSICAL_INPUT).ValidateData(row, 1, "24 V");
    for (int row = 1; row <= 48; ++row)
        Sheet(SETUP_ALARM).ValidateData(row, 1, "IN 11");
    ASSERT_TRUE(doc.RecordUndoStep());
    states.push_back(doc.SaveToBytes());
    std::mt19937 random(1207);
    static const char* const typed[] = {"0", "1", "5", "12.5", "-3", "100", "ON", "OFF", "ABC", ""};
    for (int step = 0; step < 400; ++step) { // an item of a list cell, or a typed number or word
        CBrantSetupType& setup = Sheet(static_cast<int>(random() % SETUP_TYPE_COUNT));
        const CDataSheet& sheet = *setup.GetDataSheet();
        const int row = 1 + static_cast<int>(random() % static_cast<unsigned>(sheet.GetNumSections() - 1));
        const int col = 1 + static_cast<int>(random() % static_cast<unsigned>(sheet.GetNumCells(row) - 1));
        const CBrChnData* cell = sheet.GetCellChecked(row, col);
        std::string text = typed[random() % std::size(typed)];
        if (cell && cell->GetData().size() > 1 && random() % 4 != 0)
            text = cell->GetData()[random() % cell->GetData().size()];
        setup.ValidateData(row, col, text);
        if (doc.RecordUndoStep()) states.push_back(doc.SaveToBytes());
    }
    ASSERT_GT(states.size(), 100u) << "the edits must change the configuration often enough to matter";
    // The history keeps the newest states; the oldest ones beyond its size are gone.
    const std::size_t kept = std::min(states.size(), CUndoHistory::MAX_STATES);
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

TEST_F(UndoHistory, ModifiedFollowsTheSavedStateAndANewEditDropsRedo) {
    CBrantSetupType& general = Sheet(SETUP_GENERAL);
    const Bytes fresh = doc.SaveToBytes();
    ASSERT_TRUE(general.ValidateData(3, 1, "17"));
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
    ASSERT_TRUE(general.ValidateData(3, 1, "18"));
    ASSERT_TRUE(doc.RecordUndoStep());
    EXPECT_FALSE(doc.CanRedo()) << "a new edit after Undo drops what Redo could bring back";
    // A change not recorded yet is dropped by going back to the current step (a failed download).
    ASSERT_TRUE(general.ValidateData(3, 1, "19"));
    ASSERT_TRUE(doc.RevertToUndoStep());
    EXPECT_EQ(Sheet(SETUP_GENERAL).GetDataSheet()->GetCellChecked(3, 1)->GetDataAsString(), "18");
}
