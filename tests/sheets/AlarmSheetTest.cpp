#include "AlarmFixture.h"

namespace {
using AlarmDefaults = AlarmSheets;
using AlarmFlags = AlarmSheets;
} // namespace

TEST_F(AlarmDefaults, EveryAlarmStartsOff) {
    ASSERT_EQ(alarm.GetDataSheet()->GetNumSections(), 49);
    // Row titles: alarm number padded to two places, then the LED name (six to a group).
    for (const auto& [row, title] : std::vector<std::pair<int, std::string>>{
             {1, "1  (A11)"}, {7, "7  (A21)"}, {10, "10 (A24)"}, {48, "48 (A86)"}})
        EXPECT_EQ(Value(row, 0), title);
    const std::vector<std::string> expected = {"OFF", "OFF", "<", "0", "", "0.3", "OFF", "OFF", "..."};
    for (int row = 1; row <= 48; ++row) {
        ASSERT_EQ(alarm.GetDataSheet()->GetNumCells(row), 17) << row;
        EXPECT_FALSE(alarm.IsChannelActive(row));
        for (int col = 1; col <= 9; ++col)
            EXPECT_EQ(Value(row, col), expected[static_cast<std::size_t>(col - 1)]) << row << "," << col;
        for (int col = 10; col <= 16; ++col) {
            EXPECT_EQ(Value(row, col), "");
            EXPECT_EQ(alarm.GetDataSheet()->GetProperty(row, col)->m_clrBk, 0xD3D3D3UL);
        }
        ASSERT_EQ(alarm.GetFlagGroup(row)->size(), 3u);
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(Flag(row, i), "OFF");
    }
    EXPECT_EQ(alarm.GetFlagGroup(0), nullptr);
    EXPECT_EQ(alarm.GetFlagGroup(49), nullptr);
}

TEST_F(AlarmDefaults, ResetKeepsOfferedInputsInitializeDiscardsThem) {
    ActivatePhysical(2);
    UseInput(4, "IN 12");
    ASSERT_TRUE(alarm.ValidateData(4, ALM_COL_DELAY, "12"));
    ASSERT_TRUE(alarm.ValidateData(4, ALM_COL_LED, "3"));
    SetFlags(4, {"OFF", "ON", "ON"});
    alarm.ResetChannel(4);
    EXPECT_EQ(Value(4, ALM_COL_INPREF), "OFF");
    EXPECT_EQ(Items(4, ALM_COL_INPREF), (std::vector<std::string>{"OFF", "IN 12"}));
    EXPECT_EQ(Value(4, ALM_COL_DELAY), "0.3");
    EXPECT_EQ(Value(4, ALM_COL_LED), "OFF");
    EXPECT_EQ(Value(4, ALM_COL_FLAGS), "...");
    EXPECT_EQ(Mirror(4), std::vector<std::string>(7, ""));
    EXPECT_EQ(Flag(4, 2), "OFF");
    alarm.ResetChannel(0); // rows outside the alarms are ignored
    alarm.ResetChannel(49);

    UseInput(1, "IN 12");
    SetFlags(1, {"ON"});
    alarm.Initialize();
    EXPECT_EQ(Value(1, ALM_COL_INPREF), "OFF");
    EXPECT_EQ(Items(1, ALM_COL_INPREF).size(), 1u);
    EXPECT_EQ(Flag(1, 0), "OFF");
    EXPECT_EQ(Value(1, ALM_COL_FLAGS), "...");
}

TEST_F(AlarmFlags, PopupOfInactiveAlarmReports62007) {
    std::vector<CBrChnData*> props(4, nullptr);
    int count = 0;
    EXPECT_EQ(alarm.GetPopupProperties(3, ALM_COL_FLAGS, props.data(), count), 0);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(LastError(), IDS_ALARM_DISABLED);
    EXPECT_EQ(prompt.Messages(), std::vector<std::string>{LoadMessage(IDS_ALARM_DISABLED)});
    alarm.UpdateProperties(3, ALM_COL_FLAGS, props.data(), count);
    EXPECT_EQ(prompt.Messages().size(), 1u); // same row and message: shown once
    EXPECT_EQ(alarm.GetPopupProperties(-7, ALM_COL_FLAGS, props.data(), count), 0);
}

TEST_F(AlarmFlags, SummaryFollowsThePopup) {
    general.ValidateData(11, 1, "+REF");
    ActivatePhysical(1);
    UseInput(2, "IN 11");
    for (const auto& [flags, summary] :
         std::vector<std::pair<std::vector<std::string>, std::string>>{{{"ON", "OFF", "ON"}, "BH"},
                                                                       {{"OFF", "ON", "ON"}, "CH"},
                                                                       {{"ON", "ON", "ON"}, "BCH"},
                                                                       {{"OFF", "OFF", "OFF"}, "..."}}) {
        SetFlags(2, flags);
        EXPECT_EQ(Value(2, ALM_COL_FLAGS), summary);
        EXPECT_EQ(Flag(2, 0), flags[0]);
    }
    EXPECT_TRUE(prompt.Messages().empty());
}

TEST_F(AlarmFlags, BlockWhileGeneralBlockIsOffWarnsButStays) {
    ActivatePhysical(1);
    UseInput(2, "IN 11");
    SetFlags(2, {"ON"});
    EXPECT_EQ(Flag(2, 0), "ON");
    EXPECT_EQ(Value(2, ALM_COL_FLAGS), "B");
    EXPECT_EQ(prompt.Messages(), std::vector<std::string>{LoadMessage(IDS_BLOCK_DISABLED)});
}

TEST_F(AlarmFlags, GeneralBlockOffForcesBlockOffWithOneWarning) {
    general.ValidateData(11, 1, "-REF");
    ActivatePhysical(1);
    for (int row : {1, 2, 3}) {
        UseInput(row, "IN 11");
        SetFlags(row, {"ON", "ON"});
    }
    EXPECT_EQ((*alarm.GetFlagGroup(1))[0]->m_bEditable, 1);
    general.ValidateData(11, 1, "OFF");
    const std::string warning =
        "Warning: Block flag is detected. To enable this, please enable block flag in General Pane";
    EXPECT_EQ(prompt.Messages(), std::vector<std::string>{warning});
    for (int row : {1, 2, 3}) {
        EXPECT_EQ(Flag(row, 0), "OFF");
        EXPECT_EQ(Flag(row, 1), "ON");
        EXPECT_EQ(Value(row, ALM_COL_FLAGS), "C"); // the summary no longer claims Block
    }
    EXPECT_EQ((*alarm.GetFlagGroup(40))[0]->m_bEditable, 0);

    // No second warning until the sheet is rebuilt.
    general.ValidateData(11, 1, "+REF");
    EXPECT_EQ((*alarm.GetFlagGroup(40))[0]->m_bEditable, 1);
    SetFlags(1, {"ON", "ON"});
    general.ValidateData(11, 1, "OFF");
    EXPECT_EQ(prompt.Messages().size(), 1u);

    general.ValidateData(11, 1, "+REF");
    alarm.Initialize();
    ActivatePhysical(1); // re-announces IN 11 to the new sheet
    UseInput(1, "IN 11");
    SetFlags(1, {"ON"});
    general.ValidateData(11, 1, "OFF");
    EXPECT_EQ(prompt.Messages().size(), 2u);
}
