#include "AlarmFixture.h"

namespace {
using AlarmDefaults = AlarmSheets;
using AlarmFlags = AlarmSheets;
} // namespace

TEST_F(AlarmDefaults, ShapeAndTitles) {
    const CDataSheet* sheet = alarm.GetDataSheet();
    ASSERT_EQ(sheet->GetNumSections(), 49);
    for (int row = 0; row < 49; ++row)
        ASSERT_EQ(sheet->GetNumCells(row), 17) << row;
    EXPECT_EQ(alarm.GetNumChannels(), 49);
    EXPECT_EQ(alarm.GetTitle(), "Alarm");
    EXPECT_EQ(alarm.GetSetupType(), SETUP_ALARM);
    EXPECT_EQ(alarm.GetNumColumns(), 10);
    EXPECT_EQ(Value(0, 0), "Alarms");
    EXPECT_EQ(Value(0, 3), "<>\xB1");
    EXPECT_EQ(Value(0, 6), "Delay (s)");
    EXPECT_EQ(Value(0, 16), "Misc.");
    EXPECT_EQ(Value(1, 0), "1  (A11)");
    EXPECT_EQ(Value(6, 0), "6  (A16)");
    EXPECT_EQ(Value(7, 0), "7  (A21)");
    EXPECT_EQ(Value(9, 0), "9  (A23)");
    EXPECT_EQ(Value(10, 0), "10 (A24)");
    EXPECT_EQ(Value(48, 0), "48 (A86)");
}

TEST_F(AlarmDefaults, EveryAlarmStartsOff) {
    const std::vector<std::string> expected = {"OFF", "OFF", "<", "0", "", "0.3", "OFF", "OFF", "..."};
    for (int row = 1; row <= 48; ++row) {
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

TEST_F(AlarmDefaults, CellKinds) {
    const CDataSheet* sheet = alarm.GetDataSheet();
    EXPECT_EQ(Items(5, ALM_COL_LED).size(), 25u);
    EXPECT_EQ(Items(5, ALM_COL_LED).back(), "24");
    EXPECT_EQ(Items(5, ALM_COL_OUTPUT).size(), 15u);
    EXPECT_EQ(Items(5, ALM_COL_OUTPUT).back(), "14");
    EXPECT_EQ(Items(5, ALM_COL_SIGN), (std::vector<std::string>{"<", ">", "\xB1"}));
    EXPECT_EQ(sheet->GetProperty(3, ALM_COL_TEXT)->m_nMaxTextLen, 10);
    EXPECT_EQ(sheet->GetProperty(3, ALM_COL_DELAY)->m_nMaxTextLen, -1);
    EXPECT_EQ(sheet->GetProperty(3, ALM_COL_FLAGS)->m_nStyle, CTRL_STYLE_POPUP);
    EXPECT_EQ(sheet->GetProperty(3, ALM_COL_INPREF)->m_nStyle, CTRL_STYLE_LIST);
    EXPECT_EQ(sheet->GetProperty(3, ALM_COL_SETPOINT)->m_nDataType, DATA_TYPE_FLOAT);
    EXPECT_EQ(sheet->GetProperty(3, ALM_COL_SETPOINT)->m_bEditable, 1);
    EXPECT_EQ(sheet->GetProperty(3, ALM_COL_INPREF)->m_bEditable, 0);
    EXPECT_EQ(sheet->GetProperty(3, ALM_COL_DELAY)->GetName(), "Delay");
    EXPECT_EQ(sheet->GetProperty(3, ALM_COL_INPREF)->m_clrBk, CLR_DEFAULT);
    const CBrChnData& block = *alarm.GetFlagGroup(3)->front();
    EXPECT_EQ(block.GetName(), "Block");
    EXPECT_EQ(block.m_nDataType, DATA_TYPE_INT);
    EXPECT_EQ(block.GetData(), (std::vector<std::string>{"OFF", "ON"}));
    EXPECT_EQ((*alarm.GetFlagGroup(3))[2]->GetName(), "Hysteresis");
}

TEST_F(AlarmDefaults, ResetKeepsOfferedInputs) {
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
}

TEST_F(AlarmDefaults, InitializeDiscardsEverything) {
    ActivatePhysical(1);
    UseInput(1, "IN 11");
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
    SetFlags(2, {"ON", "OFF", "ON"});
    EXPECT_EQ(Value(2, ALM_COL_FLAGS), "BH");
    EXPECT_EQ(Flag(2, 0), "ON");
    SetFlags(2, {"OFF", "ON", "ON"});
    EXPECT_EQ(Value(2, ALM_COL_FLAGS), "CH");
    SetFlags(2, {"ON", "ON", "ON"});
    EXPECT_EQ(Value(2, ALM_COL_FLAGS), "BCH");
    SetFlags(2, {"OFF", "OFF", "OFF"});
    EXPECT_EQ(Value(2, ALM_COL_FLAGS), "...");
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
