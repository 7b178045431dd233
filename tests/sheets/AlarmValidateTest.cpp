#include "AlarmFixture.h"

#include <tuple>

namespace {
class AlarmValidate : public AlarmSheets {
protected:
    AlarmValidate() {
        ActivatePhysical(6, "24 V", "0", "100", "bar"); // IN 23
        ActivatePhysical(1, "10 V", "-50", "50", "C");  // IN 11
    }
    // Refused with `code`, the cell unchanged.
    void ExpectRefused(int row, int col, const std::string& text, UINT code) {
        const std::string before = Value(row, col);
        EXPECT_FALSE(alarm.ValidateData(row, col, text)) << text;
        EXPECT_EQ(LastError(), code) << text;
        EXPECT_EQ(Value(row, col), before) << text;
    }
};
} // namespace

TEST_F(AlarmValidate, InputReferenceByNameOrDigits) {
    UseInput(1, "23");
    EXPECT_EQ(Value(1, ALM_COL_INPREF), "IN 23");
    EXPECT_EQ(Mirror(1), PhParms(6));
    EXPECT_EQ(Mirror(1)[1], "bar");
    UseInput(2, "in 23");
    EXPECT_EQ(Value(2, ALM_COL_INPREF), "IN 23");
    EXPECT_EQ(LastError(), 0u);
    UseInput(2, "IN 11"); // changing the input copies the new parameters
    EXPECT_EQ(Mirror(2), PhParms(1));
}

TEST_F(AlarmValidate, InputReferenceRefusals) {
    UseInput(3, "IN 23");
    ASSERT_TRUE(alarm.ValidateData(3, ALM_COL_DELAY, "5"));
    ExpectRefused(3, ALM_COL_INPREF, "IN 12", IDS_INPUT_NOT_ACTIVE);
    ExpectRefused(3, ALM_COL_INPREF, "IN 99", IDS_INVALID_SELECTION);
    ExpectRefused(3, ALM_COL_INPREF, "LOG3", IDS_LOGINP_NOT_ACTIVE);
    ExpectRefused(3, ALM_COL_INPREF, "LXYZ", IDS_LOGINP_NOT_ACTIVE);
    EXPECT_EQ(Value(3, ALM_COL_DELAY), "5"); // none of these touched the alarm

    // Anything that names no kind of input turns the alarm off.
    for (const std::string text : {"OFF", "1", "123", "", "xyz"}) {
        UseInput(3, "IN 23");
        ASSERT_TRUE(alarm.ValidateData(3, ALM_COL_DELAY, "5"));
        EXPECT_FALSE(alarm.ValidateData(3, ALM_COL_INPREF, text)) << text;
        EXPECT_EQ(LastError(), IDS_INVALID_SELECTION);
        EXPECT_EQ(Value(3, ALM_COL_INPREF), "OFF");
        EXPECT_EQ(Value(3, ALM_COL_DELAY), "0.3");
        EXPECT_EQ(Mirror(3), std::vector<std::string>(7, ""));
    }
}

TEST_F(AlarmValidate, LogicalInputReference) {
    ASSERT_TRUE(logical.ValidateData(2, 1, "IN 23"));
    UseInput(4, "LOG2");
    EXPECT_EQ(Mirror(4), LogParms(2));
    EXPECT_EQ(Mirror(4)[1], "bar");
    UseInput(5, "log2 (1b)"); // the row title names it as well
    EXPECT_EQ(Value(5, ALM_COL_INPREF), "LOG2");
    // Only the first four characters would match: LOG20 is not LOG2.
    ExpectRefused(6, ALM_COL_INPREF, "LOG20", IDS_LOGINP_NOT_ACTIVE);
}

TEST_F(AlarmValidate, ActiveInputMissingFromTheListIsOffered) {
    alarm.GetDataSheet()->GetProperty(7, ALM_COL_INPREF)->RemoveItem("IN 11"); // as from a damaged file
    UseInput(7, "IN 11");
    EXPECT_EQ(Value(7, ALM_COL_INPREF), "IN 11");
    EXPECT_EQ(Items(7, ALM_COL_INPREF).front(), "OFF");
    EXPECT_EQ(Mirror(7), PhParms(1));
}

TEST_F(AlarmValidate, InactiveAlarmRefusesEveryOtherColumn) {
    const std::vector<std::string> texts = {"LOG1", "\xB1", "5", "TEXT", "10", "3", "3", "B"};
    for (int col = 2; col <= 9; ++col)
        ExpectRefused(9, col, texts[static_cast<std::size_t>(col - 2)], IDS_ALARM_DISABLED);
    EXPECT_TRUE(alarm.ValidateData(9, 12, "x")); // mirrors and labels are left alone
    EXPECT_EQ(Value(9, 12), "");
    EXPECT_TRUE(alarm.ValidateData(9, 0, "x"));
    EXPECT_EQ(Value(9, 0), "9  (A23)");
}

TEST_F(AlarmValidate, DynamicReferenceNeedsEqualParameters) {
    ASSERT_TRUE(logical.ValidateData(1, 1, "IN 23")); // LOG1 like IN 23
    ASSERT_TRUE(logical.ValidateData(2, 1, "IN 11")); // LOG2 like IN 11
    UseInput(10, "IN 23");
    EXPECT_EQ(Items(10, ALM_COL_DYNREF), (std::vector<std::string>{"OFF", "LOG1", "LOG2"}));

    EXPECT_TRUE(alarm.ValidateData(10, ALM_COL_DYNREF, "LOG1"));
    EXPECT_EQ(Value(10, ALM_COL_DYNREF), "LOG1");
    EXPECT_EQ(Value(10, ALM_COL_SIGN), "\xB1");

    EXPECT_FALSE(alarm.ValidateData(10, ALM_COL_DYNREF, "LOG2"));
    EXPECT_EQ(LastError(), IDS_LOGINP_PARMS_MISMATCH);
    EXPECT_EQ(Value(10, ALM_COL_DYNREF), "OFF");
    EXPECT_EQ(Value(10, ALM_COL_SIGN), "<");

    ExpectRefused(10, ALM_COL_DYNREF, "LOG5", IDS_INVALID_SELECTION); // not offered

    ASSERT_TRUE(alarm.ValidateData(10, ALM_COL_DYNREF, "LOG1"));
    EXPECT_TRUE(alarm.ValidateData(10, ALM_COL_DYNREF, "OFF"));
    EXPECT_EQ(Value(10, ALM_COL_SIGN), "<");

    // A new input whose parameters differ drops the dynamic reference.
    ASSERT_TRUE(alarm.ValidateData(10, ALM_COL_DYNREF, "LOG1"));
    EXPECT_FALSE(alarm.ValidateData(10, ALM_COL_INPREF, "IN 11"));
    EXPECT_EQ(LastError(), IDS_DYNREF_INVALID);
    EXPECT_EQ(Value(10, ALM_COL_INPREF), "IN 11");
    EXPECT_EQ(Value(10, ALM_COL_DYNREF), "OFF");
    EXPECT_EQ(Value(10, ALM_COL_SIGN), "<");
}

TEST_F(AlarmValidate, Comparison) {
    ASSERT_TRUE(logical.ValidateData(1, 1, "IN 23"));
    UseInput(11, "IN 23");
    EXPECT_TRUE(alarm.ValidateData(11, ALM_COL_SIGN, ">"));
    EXPECT_EQ(Value(11, ALM_COL_SIGN), ">");
    ExpectRefused(11, ALM_COL_SIGN, "=", IDS_INVALID_SELECTION);
    ExpectRefused(11, ALM_COL_SIGN, "\xB1", IDS_INVALID_SELECTION); // no dynamic reference

    ASSERT_TRUE(alarm.ValidateData(11, ALM_COL_DYNREF, "LOG1"));
    ASSERT_TRUE(alarm.ValidateData(11, ALM_COL_SIGN, "<"));
    EXPECT_TRUE(alarm.ValidateData(11, ALM_COL_SIGN, "\xB1"));
    EXPECT_EQ(Value(11, ALM_COL_SIGN), "\xB1");

    // The logical input no longer matches (changed behind the sheet's back): "±" is refused, the reference
    // off.
    ASSERT_TRUE(alarm.ValidateData(11, ALM_COL_SIGN, ">"));
    logical.GetDataSheet()->GetProperty(1, 14)->SetText("psi");
    EXPECT_FALSE(alarm.ValidateData(11, ALM_COL_SIGN, "\xB1"));
    EXPECT_EQ(LastError(), IDS_DYNREF_NOT_ACTIVE);
    EXPECT_EQ(Value(11, ALM_COL_SIGN), ">");
    EXPECT_EQ(Value(11, ALM_COL_DYNREF), "OFF");
}

TEST_F(AlarmValidate, SetPointStaysWithinTheLcdRange) {
    UseInput(12, "IN 23"); // LCD 0..100
    EXPECT_TRUE(alarm.ValidateData(12, ALM_COL_SETPOINT, "25.5"));
    EXPECT_EQ(Value(12, ALM_COL_SETPOINT), "25.5");
    EXPECT_FALSE(alarm.ValidateData(12, ALM_COL_SETPOINT, "150"));
    EXPECT_EQ(LastError(), IDS_OUT_OF_RANGE_NEAREST);
    EXPECT_EQ(Value(12, ALM_COL_SETPOINT), "100");
    EXPECT_FALSE(alarm.ValidateData(12, ALM_COL_SETPOINT, "-3"));
    EXPECT_EQ(Value(12, ALM_COL_SETPOINT), "0");
    EXPECT_TRUE(alarm.ValidateData(12, ALM_COL_SETPOINT, "100"));
    EXPECT_TRUE(alarm.ValidateData(12, ALM_COL_SETPOINT, "12.125")) << "three decimals, the most it holds";
    EXPECT_EQ(Value(12, ALM_COL_SETPOINT), "12.125");

    // Texts the unit cannot hold as typed are refused: a comma or a fourth decimal would change the value.
    for (const std::string text : {"12,5", "abc", "", "1e2", "0x10", "12abc", "nan", "--1"})
        ExpectRefused(12, ALM_COL_SETPOINT, text, IDS_INVALID_VALUE_LAST);
    ExpectRefused(12, ALM_COL_SETPOINT, "12.5000", IDS_TOO_MANY_DECIMALS);

    // A limit typed exactly is inside, also when it has no exact binary form.
    ActivatePhysical(7, "24 V", "0.1", "0.7");
    UseInput(13, "IN 31");
    EXPECT_TRUE(alarm.ValidateData(13, ALM_COL_SETPOINT, "0.1"));
    EXPECT_TRUE(alarm.ValidateData(13, ALM_COL_SETPOINT, "0.7"));

    // A display range that runs downward still accepts the values between its ends.
    ActivatePhysical(8, "24 V", "100", "0");
    UseInput(14, "IN 32");
    EXPECT_TRUE(alarm.ValidateData(14, ALM_COL_SETPOINT, "40"));
    EXPECT_FALSE(alarm.ValidateData(14, ALM_COL_SETPOINT, "140"));
    EXPECT_EQ(Value(14, ALM_COL_SETPOINT), "100");

    // A logical input's range comes from its own derived cells.
    ASSERT_TRUE(logical.ValidateData(3, 1, "IN 11")); // -50..50
    UseInput(15, "LOG3");
    EXPECT_FALSE(alarm.ValidateData(15, ALM_COL_SETPOINT, "-80"));
    EXPECT_EQ(Value(15, ALM_COL_SETPOINT), "-50");
}

// A set point reaches the unit exactly as typed, or is refused: never wrapped, never with a lost scale.
TEST_F(AlarmValidate, SetPointIsANumberTheUnitHolds) {
    ActivatePhysical(9, "24 V", "-65535", "65535");
    UseInput(20, "IN 33");
    for (const std::string text : {"4.35", "1.005", "0.29", "2.675", "655.35", "-65535", "65.535"}) {
        EXPECT_TRUE(alarm.ValidateData(20, ALM_COL_SETPOINT, text)) << text;
        BYTE block[32];
        alarm.GetAlarmDataBlock(19, block);
        BYTE number[3] = {block[1], block[2], block[3]};
        EXPECT_EQ(CBrantSetupType::Decode3Bytes(number), text);
    }
    for (const std::string text : {"70000", "655.36", "65536", "6553.6", "65.536"})
        ExpectRefused(20, ALM_COL_SETPOINT, text, IDS_NUMBER_TOO_LARGE);
    ExpectRefused(20, ALM_COL_SETPOINT, "1.2345", IDS_TOO_MANY_DECIMALS);
}

// A delay the unit cannot hold takes the nearest one it holds, shown with a message; one it holds is kept as
// typed.
TEST_F(AlarmValidate, DelayIsADelayTheUnitHolds) {
    UseInput(17, "IN 11");
    const std::tuple<const char*, const char*, UINT> cases[] = {{"1234.5", "1230", IDS_DELAY_NEAREST},
                                                                {"2551", "2550", IDS_DELAY_NEAREST},
                                                                {"100000", "100200", IDS_DELAY_NEAREST},
                                                                {"12.34", "12.3", IDS_DELAY_NEAREST},
                                                                {"0.305", "0.310", IDS_DELAY_NEAREST},
                                                                {"1.0001", "1.000", IDS_DELAY_NEAREST},
                                                                {"12.3", "12.3", 0},
                                                                {"0.3", "0.3", 0},
                                                                {"100200", "100200", 0},
                                                                {" 45 ", " 45 ", 0}};
    for (const auto& [text, shown, code] : cases) {
        EXPECT_EQ(alarm.ValidateData(17, ALM_COL_DELAY, text), code == 0) << text;
        EXPECT_EQ(LastError(), code) << text;
        EXPECT_EQ(Value(17, ALM_COL_DELAY), shown) << text;
    }
    ExpectRefused(17, ALM_COL_DELAY, "12abc", IDS_DELAY_OUT_OF_RANGE);
}

TEST_F(AlarmValidate, TextDelayLedOutput) {
    UseInput(16, "IN 11");
    EXPECT_TRUE(alarm.ValidateData(16, ALM_COL_TEXT, "PUMP 3 HIGH"));
    EXPECT_EQ(Value(16, ALM_COL_TEXT), "PUMP 3 HIGH");

    EXPECT_TRUE(alarm.ValidateData(16, ALM_COL_DELAY, "0.3"));
    EXPECT_TRUE(alarm.ValidateData(16, ALM_COL_DELAY, "918000"));
    EXPECT_EQ(Value(16, ALM_COL_DELAY), "918000");
    for (const std::string text : {"0.29", "918000.5", "abc", "nan", "-1", "inf"})
        ExpectRefused(16, ALM_COL_DELAY, text, IDS_DELAY_OUT_OF_RANGE);

    EXPECT_TRUE(alarm.ValidateData(16, ALM_COL_LED, "24"));
    EXPECT_TRUE(alarm.ValidateData(16, ALM_COL_LED, "OFF"));
    ExpectRefused(16, ALM_COL_LED, "25", IDS_INVALID_LED);
    ExpectRefused(16, ALM_COL_LED, "07", IDS_INVALID_LED);
    EXPECT_TRUE(alarm.ValidateData(16, ALM_COL_OUTPUT, "14"));
    ExpectRefused(16, ALM_COL_OUTPUT, "15", IDS_INVALID_OUTPUT);
    EXPECT_TRUE(alarm.ValidateData(16, ALM_COL_FLAGS, "BCH")); // flags change only through the popup
    EXPECT_EQ(Value(16, ALM_COL_FLAGS), "...");
}

TEST_F(AlarmValidate, CoordinatesOutsideTheSheet) {
    for (int row : {-1, 0, 49, 1000})
        for (int col : {-1, 0, 1, 4, 9, 16, 17, 99}) {
            EXPECT_FALSE(alarm.ValidateData(row, col, "IN 11"));
            alarm.SetParm(row, col, "x");
        }
    for (int col : {-5, 17, 1000})
        EXPECT_TRUE(alarm.ValidateData(1, col, "x"));
    EXPECT_EQ(alarm.VerifyValid(0, ALM_COL_LED, "1"), 0);
    EXPECT_EQ(alarm.VerifyValid(1, 40, "1"), 0);
}
