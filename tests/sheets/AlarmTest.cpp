// Edits, flags, blocks and document records of the Alarm sheet. How alarms follow the input sheets (offered
// lists, mirror columns, dynamic references) is checked by AlarmInvariantTest after thousands of random
// edits.
#include "model/CArchive.h"
#include "tests/sheets/SheetsFixture.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {
using Block = std::array<BYTE, 32>;
using Bytes = std::vector<std::uint8_t>;
constexpr int REF = ALM_COL_INPREF, DYN = ALM_COL_DYNREF, SIGN = ALM_COL_SIGN, SP = ALM_COL_SETPOINT,
              TEXT = ALM_COL_TEXT, DELAY = ALM_COL_DELAY, LED = ALM_COL_LED, OUT = ALM_COL_OUTPUT,
              FLAGS = ALM_COL_FLAGS;

class AlarmTest : public SheetsFixture {
protected:
    // IN 11: 10 V, LCD -50..50; IN 23: 24 V, LCD 0..100; LOG1 like IN 23, LOG2 and LOG3 like IN 11.
    AlarmTest() {
        general.ValidateData(11, 1, "+REF");
        ActivatePhysical(1, "10 V", "-50", "50", "C");
        ActivatePhysical(6);
        for (const auto& [row, source] : {std::pair{1, "IN 23"}, {2, "IN 11"}, {3, "IN 11"}})
            logical.ValidateData(row, 1, source);
    }
    Block Get(int row) {
        Block block;
        block.fill(0xEE);
        alarm.GetAlarmDataBlock(row - 1, block.data());
        return block;
    }
    // Input OFF, set point 0 with "<", delay 30 hundredths, LED and output OFF, no flags, a blank text.
    static Block DefaultBlock() {
        Block block{0x30, 0x00, 0x00, 0x20, 0x1E, 0x00, 0x18, 0x0E, 0x00};
        std::fill(block.begin() + 9, block.begin() + 19, BYTE{0x20});
        return block;
    }
    Bytes Store() {
        CArchive archive(CArchive::store);
        alarm.DoFileReadWrite(archive, 3);
        return archive.GetBuffer();
    }
    // Reads the alarm part of a document into a freshly built sheet; the archive exception's cause, or 0.
    int Load(Bytes bytes) {
        alarm.Initialize();
        CArchive archive(std::move(bytes));
        try {
            alarm.DoFileReadWrite(archive, 3);
        } catch (const CArchiveException& e) {
            return e.m_cause;
        }
        return 0;
    }
};
} // namespace

// Each edit in turn: alarm, column, text, message (0: taken), shown afterwards (a refusal keeps the value).
TEST_F(AlarmTest, EditsAreChecked) {
    ActivatePhysical(7, "24 V", "0.1", "0.7");      // IN 31
    ActivatePhysical(8, "24 V", "100", "0");        // IN 32, a display range that runs downward
    ActivatePhysical(9, "24 V", "-65535", "65535"); // IN 33
    using Case = std::tuple<int, int, const char*, UINT, const char*>;
    const auto check = [this](const auto& cases) {
        for (const auto& [row, col, text, error, shown] : cases) {
            EXPECT_EQ(alarm.ValidateData(row, col, text), error == 0) << row << "," << col << " " << text;
            EXPECT_EQ(error ? Error(alarm) : 0u, error) << row << "," << col << " " << text;
            EXPECT_EQ(Alm(row, col), shown) << row << "," << col << " " << text;
        }
    };
    const UINT other = IDS_LOGINP_PARMS_MISMATCH, lost = IDS_DYNREF_INVALID, off = IDS_ALARM_DISABLED,
               sel = IDS_INVALID_SELECTION, noLog = IDS_LOGINP_NOT_ACTIVE, near = IDS_OUT_OF_RANGE_NEAREST,
               last = IDS_INVALID_VALUE_LAST, big = IDS_NUMBER_TOO_LARGE, dec = IDS_TOO_MANY_DECIMALS,
               dNear = IDS_DELAY_NEAREST, dBad = IDS_DELAY_OUT_OF_RANGE, noIn = IDS_INPUT_NOT_ACTIVE,
               led = IDS_INVALID_LED, out = IDS_INVALID_OUTPUT;
    // Input references by name or digits; anything naming no kind of input turns the alarm off.
    const Case references[] = {
        {1, REF, "23", 0, "IN 23"},        {2, REF, "in 23", 0, "IN 23"},    {2, REF, "IN 11", 0, "IN 11"},
        {3, REF, "IN 23", 0, "IN 23"},     {3, DELAY, "5", 0, "5"},          {3, REF, "IN 12", noIn, "IN 23"},
        {3, REF, "IN 99", sel, "IN 23"},   {3, REF, "LOG4", noLog, "IN 23"}, {3, REF, "LXYZ", noLog, "IN 23"},
        {3, REF, "LOG20", noLog, "IN 23"}, {4, REF, "IN 23", 0, "IN 23"},    {4, REF, "xyz", sel, "OFF"},
        {4, REF, "IN 23", 0, "IN 23"},     {4, REF, "1", sel, "OFF"},        {4, REF, "OFF", sel, "OFF"},
        {5, REF, "LOG2", 0, "LOG2"},       {5, REF, "log2 (1b)", 0, "LOG2"}};
    check(references);
    EXPECT_EQ(Alm(3, DELAY), "5") << "a refused reference leaves the alarm alone";
    // A dynamic reference must have the alarm's parameters, "±" needs one, and "<" or ">" turns it off.
    const Case dynamic[] = {{10, REF, "IN 23", 0, "IN 23"},  {10, DYN, "LOG1", 0, "LOG1"},
                            {10, DYN, "LOG2", other, "OFF"}, {10, DYN, "LOG5", sel, "OFF"},
                            {10, SIGN, "\xB1", sel, "<"},    {10, SIGN, ">", 0, ">"},
                            {10, SIGN, "=", sel, ">"},       {10, DYN, "LOG1", 0, "LOG1"},
                            {10, SIGN, "\xB1", 0, "\xB1"},   {10, REF, "IN 11", lost, "IN 11"},
                            {11, REF, "IN 23", 0, "IN 23"},  {11, DYN, "LOG1", 0, "LOG1"},
                            {11, SIGN, ">", 0, ">"}};
    check(dynamic);
    EXPECT_EQ(Alm(11, DYN), "OFF");
    EXPECT_EQ(prompt.Messages(), Strings{LoadMessage(IDS_DYNREF_NEEDS_PLUSMINUS)});
    // IN 41, like IN 11 but used by no logical input: its own notice takes LOG2 off when it changes.
    ActivatePhysical(10, "10 V", "-50", "50", "C");
    const Case watched[] = {{18, REF, "IN 41", 0, "IN 41"}, {18, DYN, "LOG2", 0, "LOG2"}};
    check(watched);
    physical.ValidateData(10, 7, "1");
    EXPECT_EQ((Strings{Alm(18, DYN), Alm(18, SIGN)}), (Strings{"OFF", "<"}));
    // LOG1 no longer matches (changed behind the sheet's back): "±" is refused, the reference off.
    ASSERT_TRUE(alarm.ValidateData(11, DYN, "LOG1"));
    Cell(logical, 1, 14)->SetText("psi");
    EXPECT_FALSE(alarm.ValidateData(11, SIGN, "\xB1"));
    EXPECT_EQ(Error(alarm), IDS_DYNREF_NOT_ACTIVE);
    EXPECT_EQ((Strings{Alm(11, DYN), Alm(11, SIGN)}), (Strings{"OFF", "<"}));
    // An inactive alarm takes no other column; mirrors and labels are left alone.
    const Case inactive[] = {
        {9, DYN, "LOG1", off, "OFF"}, {9, SIGN, "\xB1", off, "<"},  {9, SP, "5", off, "0"},
        {9, TEXT, "T", off, ""},      {9, DELAY, "10", off, "0.3"}, {9, LED, "3", off, "OFF"},
        {9, OUT, "3", off, "OFF"},    {9, FLAGS, "B", off, "..."},  {9, 12, "x", 0, ""},
        {9, 0, "x", 0, "9  (A23)"},   {1, 17, "x", 0, "<no cell>"}};
    check(inactive);
    // Set points within the LCD range (also a limit without an exact binary form), and numbers the unit holds
    // as typed.
    const Case setPoints[] = {{12, REF, "IN 23", 0, "IN 23"},   {12, SP, "25.5", 0, "25.5"},
                              {12, SP, "150", near, "100"},     {12, SP, "-3", near, "0"},
                              {12, SP, "100", 0, "100"},        {12, SP, "12.125", 0, "12.125"},
                              {12, SP, "12,5", last, "12.125"}, {12, SP, "1e2", last, "12.125"},
                              {12, SP, "nan", last, "12.125"},  {12, SP, "12.5000", dec, "12.125"},
                              {13, REF, "IN 31", 0, "IN 31"},   {13, SP, "0.1", 0, "0.1"},
                              {13, SP, "0.7", 0, "0.7"},        {14, REF, "IN 32", 0, "IN 32"},
                              {14, SP, "40", 0, "40"},          {14, SP, "140", near, "100"},
                              {15, REF, "LOG3", 0, "LOG3"},     {15, SP, "-80", near, "-50"},
                              {20, REF, "IN 33", 0, "IN 33"},   {20, SP, "1.005", 0, "1.005"},
                              {20, SP, "-65535", 0, "-65535"},  {20, SP, "65.535", 0, "65.535"},
                              {20, SP, "70000", big, "65.535"}, {20, SP, "655.36", big, "65.535"},
                              {20, SP, "1.2345", dec, "65.535"}};
    check(setPoints);
    // A delay the unit cannot hold takes the nearest it holds; one it holds is kept, in its fewest decimals.
    const Case delays[] = {{17, REF, "IN 11", 0, "IN 11"},      {17, DELAY, "1234.5", dNear, "1230"},
                           {17, DELAY, "2551", dNear, "2550"},  {17, DELAY, "100000", dNear, "100200"},
                           {17, DELAY, "12.34", dNear, "12.3"}, {17, DELAY, "0.305", dNear, "0.31"},
                           {17, DELAY, "1.0001", dNear, "1"},   {17, DELAY, "12.3", 0, "12.3"},
                           {17, DELAY, "0.3", 0, "0.3"},        {17, DELAY, "918000", 0, "918000"},
                           {17, DELAY, " 45 ", 0, "45"},        {17, DELAY, "12abc", dBad, "45"},
                           {17, DELAY, "0.29", dBad, "45"},     {17, DELAY, "918000.5", dBad, "45"},
                           {17, DELAY, "inf", dBad, "45"},      {17, DELAY, "2.000", 0, "2"}};
    check(delays);
    // Text, LED and output; Flags letters name the flags that are on, in any order and case.
    const UINT letters = IDS_FLAGS_LETTERS;
    const Case others[] = {
        {16, REF, "IN 11", 0, "IN 11"}, {16, TEXT, "PUMP 3", 0, "PUMP 3"}, {16, LED, "24", 0, "24"},
        {16, LED, "OFF", 0, "OFF"},     {16, LED, "25", led, "OFF"},       {16, LED, "07", led, "OFF"},
        {16, OUT, "14", 0, "14"},       {16, OUT, "15", out, "14"},        {16, FLAGS, "hcb", 0, "BCH"},
        {16, FLAGS, "CB", 0, "BC"},     {16, FLAGS, "B,H", letters, "BC"}, {16, FLAGS, "...", 0, "..."}};
    check(others);
    for (int row : {-1, 0, 49, 1000})
        for (int col : {-1, 0, 1, 9, 17})
            EXPECT_FALSE(alarm.ValidateData(row, col, "IN 11")) << row << "," << col;
}

// A reset clears the flags too (the other columns are the invariant test's), and an inactive alarm's flags
// do not open. A new sheet offers no input.
TEST_F(AlarmTest, FlagsOfAnInactiveAlarm) {
    for (int rebuild = 0; rebuild < 2; ++rebuild) {
        UseInput(4, "IN 23");
        SetFlags(4, {"ON", "ON", "ON"});
        rebuild ? alarm.Initialize() : alarm.ResetChannel(4);
        EXPECT_EQ((Strings{Flag(4, 0), Flag(4, 1), Flag(4, 2), Alm(4, FLAGS)}),
                  (Strings{"OFF", "OFF", "OFF", "..."}));
    }
    EXPECT_EQ(Items(alarm, 1, REF), Strings{"OFF"});
    // The flags of an inactive alarm do not open.
    std::vector<CBrChnData*> props(4, nullptr);
    int count = 0;
    EXPECT_EQ(alarm.GetPopupProperties(3, FLAGS, props.data(), count), 0);
    EXPECT_EQ(Error(alarm), IDS_ALARM_DISABLED);
    EXPECT_EQ(prompt.Messages(), Strings{LoadMessage(IDS_ALARM_DISABLED)});
    // Row titles: alarm number padded to two places, then the LED name (six to a group).
    EXPECT_EQ((Strings{Alm(1, 0), Alm(7, 0), Alm(10, 0), Alm(48, 0)}),
              (Strings{"1  (A11)", "7  (A21)", "10 (A24)", "48 (A86)"}));
}

TEST_F(AlarmTest, FlagSummaryAndTheGeneralBlock) {
    UseInput(2, "IN 11");
    const std::pair<Strings, const char*> summaries[] = {
        {{"ON", "OFF", "ON"}, "BH"}, {{"OFF", "ON", "ON"}, "CH"}, {{"ON", "ON", "OFF"}, "BC"}};
    for (const auto& [flags, summary] : summaries) {
        SetFlags(2, flags);
        EXPECT_EQ((Strings{Alm(2, FLAGS), Flag(2, 0), Flag(2, 2)}), (Strings{summary, flags[0], flags[2]}));
    }
    EXPECT_TRUE(prompt.Messages().empty());
    // The General sheet's block turned off forces every Block flag off, with one warning; Block chosen while
    // it is off warns but stays.
    for (int row : {1, 2, 3}) {
        UseInput(row, "IN 11");
        SetFlags(row, {"ON", "ON"});
    }
    general.ValidateData(11, 1, "OFF");
    const std::string warning =
        "Warning: Block flag is detected. To enable this, please enable block flag in General Pane";
    EXPECT_EQ(prompt.Messages(), Strings{warning});
    for (int row : {1, 2, 3})
        EXPECT_EQ((Strings{Flag(row, 0), Flag(row, 1), Alm(row, FLAGS)}), (Strings{"OFF", "ON", "C"}));
    EXPECT_EQ((*alarm.GetFlagGroup(40))[0]->m_bEditable, 0);
    general.ValidateData(11, 1, "-REF");
    EXPECT_EQ((*alarm.GetFlagGroup(40))[0]->m_bEditable, 1);
    SetFlags(1, {"ON", "ON"});
    general.ValidateData(11, 1, "OFF");
    EXPECT_EQ(prompt.Messages().size(), 1u);
    SetFlags(1, {"ON", "OFF"});
    EXPECT_EQ(Alm(1, FLAGS), "B");
    EXPECT_EQ(prompt.Messages(), (Strings{warning, LoadMessage(IDS_BLOCK_DISABLED)}));
    // A new sheet warns once more.
    alarm.Initialize();
    general.ValidateData(11, 1, "+REF");
    UseInput(1, "IN 11");
    SetFlags(1, {"ON"});
    general.ValidateData(11, 1, "OFF");
    EXPECT_EQ(prompt.Messages().size(), 3u);
    EXPECT_EQ(prompt.Messages().back(), warning);
}

// Each alarm's edits and flags, and its block: reference, set point (three bytes), delay count and code, LED,
// output, flags, then the text in ten characters and 13 zeros.
TEST_F(AlarmTest, BlockEncoding) {
    ActivatePhysical(2, "24 V", "-100", "100"); // IN 12
    ActivatePhysical(24);                       // IN 83
    const struct {
        int row;
        std::vector<std::pair<int, std::string>> edits;
        Strings flags;
        std::array<BYTE, 9> head;
    } cases[] = {
        {5, {{REF, "IN 11"}, {SP, "12.5"}, {SIGN, ">"}}, {}, {0, 0x7D, 0, 0x08, 30, 0, 24, 14, 0}},
        {6, {{REF, "IN 11"}, {SP, "12.5"}}, {}, {0, 0x7D, 0, 0x28, 30, 0, 24, 14, 0}},
        {7, {{REF, "IN 11"}, {SP, "12.5"}, {DYN, "LOG3"}}, {}, {0, 0x7D, 0, 0x6A, 30, 0, 24, 14, 0}},
        {8, {{REF, "IN 12"}, {SP, "-3.25"}}, {}, {1, 0x45, 0x01, 0xB0, 30, 0, 24, 14, 0}},
        {9, {{REF, "IN 11"}, {LED, "24"}, {OUT, "1"}}, {}, {0, 0, 0, 0x20, 30, 0, 23, 0, 0}},
        {10, {{REF, "LOG1"}}, {"OFF", "ON", "ON"}, {24, 0, 0, 0x20, 30, 0, 24, 14, 0x60}},
        {14, {{REF, "IN 11"}, {TEXT, "AB"}}, {"ON", "OFF", "ON"}, {0, 0, 0, 0x20, 30, 0, 24, 14, 0xA0}},
        {11, {{REF, "LOG1"}, {DELAY, "45"}, {TEXT, "ABCDEFGHIJK"}}, {}, {24, 0, 0, 0x20, 45, 2, 24, 14, 0}},
        {12, {{REF, "LOG3"}, {DELAY, "2.5"}}, {}, {26, 0, 0, 0x20, 25, 1, 24, 14, 0}},
        {13, {{REF, "IN 83"}, {DELAY, "1230"}}, {}, {23, 0, 0, 0x20, 123, 3, 24, 14, 0}}};
    for (const auto& c : cases) {
        std::string text(10, ' ');
        for (const auto& [col, typed] : c.edits) {
            ASSERT_TRUE(alarm.ValidateData(c.row, col, typed)) << c.row << " " << typed;
            if (col == TEXT) text = (typed + text).substr(0, 10);
        }
        if (!c.flags.empty()) SetFlags(c.row, c.flags);
        Block expected{};
        std::copy(c.head.begin(), c.head.end(), expected.begin());
        std::copy(text.begin(), text.end(), expected.begin() + 9);
        EXPECT_EQ(Get(c.row), expected) << c.row;
    }
    EXPECT_EQ(Get(48), DefaultBlock());
    EXPECT_EQ(Get(0), Block{}) << "blocks outside the 48 alarms come out empty";
    EXPECT_EQ(Get(49), Block{});
}

// A received block is checked as edits are (a value the sheet does not take is the device image test's).
TEST_F(AlarmTest, ReceivedBlockReproducesTheAlarm) {
    UseInput(9, "LOG2");
    for (const auto& [col, text] : std::vector<std::pair<int, std::string>>{
             {DYN, "LOG3"}, {SP, "-12.75"}, {DELAY, "45"}, {LED, "12"}, {OUT, "14"}, {TEXT, "TEMP HIGH!"}})
        ASSERT_TRUE(alarm.ValidateData(9, col, text)) << text;
    SetFlags(9, {"OFF", "ON", "OFF"});
    alarm.SetAlarmData(9, Get(9).data());
    EXPECT_EQ(Values(alarm, 10, 1, ALARM_CELLS - 1), Values(alarm, 9, 1, ALARM_CELLS - 1));
    EXPECT_EQ(Get(10), Get(9));
}

// The unit keeps a delay as a count of 0..255 of one unit. A delay it holds goes out exactly, with the
// table's code where that holds it (2.5 s as 25 tenths); any other as the nearest delay it holds.
TEST(AlarmDelay, Encoding) {
    const std::tuple<const char*, int, int> cases[] = {
        {"0.3", 30, 0},     {"1", 100, 0},      {"1.01", 101, 0},   {"2.55", 255, 0},  {"2.56", 255, 0},
        {"2.5", 25, 1},     {"10", 100, 1},     {"12.3", 123, 1},   {"12.34", 123, 1}, {"25.5", 255, 1},
        {"25.55", 255, 1},  {"45", 45, 2},      {"100", 100, 2},    {"100.4", 100, 2}, {"255", 255, 2},
        {"256", 255, 2},    {"1234.5", 123, 3}, {"2550", 255, 3},   {"2551", 255, 3},  {"2555", 255, 3},
        {"6000", 100, 4},   {"6001", 100, 4},   {"15300", 255, 4},  {"60000", 100, 5}, {"60001", 100, 5},
        {"100000", 167, 5}, {"153000", 255, 5}, {"918000", 255, 6}, {"0", 0, 0},       {"-5", 0, 0},
        {"1e12", 255, 6},   {"nan", 0, 0}};
    for (const auto& [text, count, code] : cases) {
        int n = -1;
        BYTE factor = 0xFF;
        CAlarm::EncodeDelay(text, n, factor);
        EXPECT_EQ((std::pair<int, int>{n, factor}), (std::pair<int, int>{count, code})) << text;
    }
    static const double tableUpTo[7] = {1.0, 10.0, 100.0, 2550.0, 6000.0, 60000.0, 918000.0};
    for (double seconds = 0.3; seconds <= 918000.0; seconds *= 1.0007) {
        char text[32];
        std::snprintf(text, sizeof text, "%.3f", seconds);
        int count = -1, tableCode = 0;
        BYTE code = 0xFF;
        CAlarm::EncodeDelay(text, count, code);
        while (std::atof(text) > tableUpTo[tableCode])
            ++tableCode;
        // Never coarser than the table's code, and at least as near as its rounding.
        const double error = std::fabs(count * CAlarm::GetTimeFactorUnit(code) - std::atof(text));
        ASSERT_TRUE(count >= 0 && count <= 255 && code <= tableCode &&
                    error <= CAlarm::GetTimeFactorUnit(tableCode) / 2 + 1e-9)
            << text << ": " << count << " of code " << int(code);
    }
}

// The record: title "Alarm", setup type 3, the 48 flag groups ("Block" first), then the sheet.
TEST_F(AlarmTest, RecordKeepsEverything) {
    const Bytes head = {0x05, 'A', 'l', 'a', 'r', 'm', 3, 0, 0, 0, 3, 0, 0, 0, 0x05, 'B', 'l', 'o', 'c', 'k'};

    UseInput(1, "IN 11");
    SetFlags(1, {"ON", "OFF", "ON"});
    UseInput(48, "IN 23");
    SetFlags(48, {"OFF", "ON"});
    const Bytes bytes = Store();
    EXPECT_TRUE(std::equal(head.begin(), head.end(), bytes.begin()));
    ASSERT_EQ(Load(bytes), 0);
    EXPECT_EQ(Store(), bytes);
    EXPECT_EQ((Strings{Alm(1, FLAGS), Flag(48, 1)}), (Strings{"BH", "ON"}));
    // A flag group count the sheet cannot hold is a bad schema.
    for (std::uint32_t count : {4u, 0x7FFFFFFFu, 0xFFFFFFFFu, 0x80000000u}) {
        Bytes damaged = bytes;
        for (std::size_t k = 0; k < 4; ++k)
            damaged[10 + k] = static_cast<std::uint8_t>(count >> (8 * k));
        EXPECT_EQ(Load(damaged), CArchiveException::badSchema) << count;
    }
}

// Older programs stored logical inputs by their full row titles.
TEST_F(AlarmTest, LongLogicalNamesReadBackShort) {
    CBrChnData* ref = Cell(alarm, 3, REF);
    ref->GetData() = {"OFF", "IN 11", "LOG1 (1A)", "LOG2 (1B)"};
    ref->m_nSel = 3;
    Cell(alarm, 3, DYN)->GetData() = {"OFF", "LOG1 (1A)", "LOG2 (1B)", "LOG5 (2B)"};
    ASSERT_EQ(Load(Store()), 0);
    EXPECT_EQ(Items(alarm, 3, REF), (Strings{"OFF", "IN 11", "LOG1", "LOG2"}));
    EXPECT_EQ(Alm(3, REF), "LOG2");
    EXPECT_EQ(Items(alarm, 3, DYN), (Strings{"OFF", "LOG1", "LOG2", "LOG5"}));
}
