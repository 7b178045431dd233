#include "model/CArchive.h"
#include "tests/sheets/SheetsFixture.h"

#include <array>

namespace {
const std::string kDegF = std::string("\xB0") + "F";
const Strings kOff = {"OFF", "", "0", "0", "0", "0", "0"};
using Block = std::array<BYTE, 32>;

class PhysicalInputTest : public SheetsFixture {
protected:
    void Reread() {
        CArchive out(CArchive::store);
        physical.DoFileReadWrite(out, 3);
        physical.Initialize();
        CArchive in(out.GetBuffer());
        physical.DoFileReadWrite(in, 3);
        EXPECT_EQ(in.GetRemaining(), 0u);
    }
};

// Each edit in turn: input, column, text, message (0: taken), shown afterwards (a refusal keeps the value).
TEST_F(PhysicalInputTest, EditsAreCheckedPerColumn) {
    const UINT idle = IDS_CHANNEL_NOT_ACTIVE, clamp = IDS_OUT_OFF_RANGE_CLOSEST,
               type = IDS_INVALID_INPUT_TYPE, dec = IDS_TOO_MANY_DECIMALS, big = IDS_NUMBER_TOO_LARGE,
               last = IDS_INVALID_VALUE_LAST;
    // clang-format off
    const std::tuple<int, int, const char*, UINT, const char*> cases[] = {
        {6, 3, "3", idle, "0"},         {6, 7, "3", idle, "0"},           {3, 1, "10 V", 0, "10 V"},
        {3, 5, "10", 0, "10"},          {3, 5, "0", 0, "0"},              {3, 5, "5.5", 0, "5.5"},
        {3, 5, "12", clamp, "10"},      {3, 3, "-1", clamp, "0"},         {3, 3, "", 0, ""},
        {3, 3, "1.2.3", clamp, ""},     {3, 3, " +04", 0, "4"},            {3, 5, "4.0001", dec, "10"},
        {3, 1, "12 V", type, "10 V"},   {3, 1, "", type, "10 V"},         {3, 1, "10 v", 0, "10 V"}, 
        {3, 1, "20 mA;", type, "10 V"}, {3, 1, "\xFF\x80", type, "10 V"}, {2, 1, "24 V", 0, "24 V"},
        {2, 5, "24", 0, "24"},          {2, 4, "-12.5", 0, "-12.5"},      {2, 6, "4.35", 0, "4.35"},
        {2, 7, "65535", 0, "65535"},    {2, 4, "1.2345", dec, "-12.5"},   {2, 6, "70000", big, "4.35"},
        {2, 6, "655.36", big, "4.35"},  {2, 6, "0x10", last, "4.35"},     {2, 6, "1e2", last, "4.35"},
        {2, 7, "", last, "65535"}};
    // clang-format on
    for (const auto& [row, col, text, error, shown] : cases) {
        EXPECT_EQ(physical.ValidateData(row, col, text), error == 0) << text;
        EXPECT_EQ(Error(physical), error) << row << "," << col << " " << text;
        EXPECT_EQ(Ph(row, col), shown) << row << "," << col << " " << text;
    }
    // An empty item left in the list by a received block is no type either.
    Cell(physical, 3, 1)->GetData().push_back("");
    EXPECT_EQ(physical.ValidateData(3, 1, ""), 0);
    EXPECT_EQ(PhParms(6), kOff);
    // A new type clamps the limits, and stays.
    EXPECT_EQ(physical.ValidateData(2, 1, "10 V"), 0);
    EXPECT_EQ(Error(physical), clamp);
    EXPECT_EQ(PhParms(2), (Strings{"10 V", "", "0", "-12.5", "10", "4.35", "65535"}));
}

// Turning an input off by an edit, by a reset or by a received block of type 0 clears every column.
TEST_F(PhysicalInputTest, TurningAnInputOffClearsEveryColumn) {
    for (int way = 0; way < 3; ++way) {
        ActivatePh(8, "24 V", "12");
        for (int col : {2, 4, 6, 7})
            physical.ValidateData(8, col, "7");
        ASSERT_EQ(PhParms(8), (Strings{"24 V", "7", "0", "7", "12", "7", "7"}));
        Block off{};
        if (way == 0) physical.ValidateData(8, 1, "OFF");
        if (way == 1) physical.ResetChannel(8);
        if (way == 2) physical.SetInputParms(7, off.data());
        EXPECT_EQ(PhParms(8), kOff) << way;
    }
}

TEST_F(PhysicalInputTest, EveryEditIsAnnouncedToEverySetupType) {
    RecordingSetupType& gen = Record(SETUP_GENERAL);
    RecordingSetupType& alm = Record(SETUP_ALARM);
    ActivatePh(5, "10 V");
    physical.ValidateData(5, 5, "99");    // clamped
    physical.ValidateData(5, 2, "  bar"); // trimmed
    physical.ValidateData(6, 4, "1");     // refused: inactive input
    physical.ValidateData(5, 1, "OFF");   // announced twice
    const Notices expected = {{1, 5, 1, "10 V"}, {1, 5, 5, "10"},  {1, 5, 2, "bar"},
                              {1, 6, 4, "1"},    {1, 5, 1, "OFF"}, {1, 5, 1, "OFF"}};
    EXPECT_EQ(alm.notices, expected);
    EXPECT_EQ(gen.notices, expected);
}

// Type 0x04 (20 mA), lower limit 4, upper 20, LCD upper 100.0 with one decimal, unit "bar".
TEST_F(PhysicalInputTest, BlockCarriesTypeNumbersAndUnit) {
    ActivatePh(1, "20 mA", "20");
    physical.ValidateData(1, 3, "4");
    physical.ValidateData(1, 6, "100.0");
    physical.ValidateData(1, 2, "bar");
    Block block;
    block.fill(0xFF);
    physical.GetInputParms(0, block.data());
    // Five numbers of three bytes (the third: sign and scale bits, the others kept), then the unit.
    const Block expected = {0x04, 0x04, 0x00, 0x67, 0x00, 0x00, 0x67, 0x14, 0x00, 0x67, 0xE8,
                            0x03, 0x6F, 0x00, 0x00, 0x67, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                            0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x62, 0x61, 0x72, 0x20};
    EXPECT_EQ(block, expected) << "bytes 16..27 are not the input's";
    physical.ResetChannel(1);
    physical.SetInputParms(0, block.data());
    EXPECT_EQ(PhParms(1), (Strings{"20 mA", "bar", "4", "0", "20", "100.0", "0"}));
}

// A received type code the sheet does not know keeps the type (limits beyond the type are the device image
// test's). Every column is announced.
TEST_F(PhysicalInputTest, ReceivedUnknownTypeKeepsTheType) {
    ActivatePh(5, "24 V");
    RecordingSetupType& alm = Record(SETUP_ALARM);
    Block block{1};
    physical.SetInputParms(4, block.data());
    EXPECT_EQ(Ph(5, 1), "24 V");
    EXPECT_EQ(alm.notices.size(), 7u);
    EXPECT_TRUE(prompt.Log().empty());
}

// A new unit, typed with or without leading blanks, is offered on every input; so are the units of all inputs
// once the document is read, the degree sign that older programs stored as the unit sends it repaired.
TEST_F(PhysicalInputTest, UnitsAreOfferedOnEveryInput) {
    ActivatePh(1);
    ActivatePh(2);
    const std::string oldDegC = std::string("\xDF") + "C";
    Cell(physical, 1, 2)->GetData()[7] = oldDegC;
    EXPECT_EQ(physical.ValidateData(1, 2, oldDegC), 1);
    // Blanks are the unit's padding; a control character is no unit.
    for (const auto& [unit, taken] :
         std::vector<std::pair<std::string, int>>{{"  psi ", 1}, {"\tpsi", 0}, {"a;b", 1}})
        EXPECT_EQ(physical.ValidateData(2, 2, unit), taken) << unit;
    EXPECT_EQ(Items(physical, 24, 2).size(), 11u);
    Cell(physical, 9, 2)->GetData().push_back("kPa");
    Reread();
    EXPECT_EQ((Strings{Ph(1, 2), Ph(2, 2)}), (Strings{kDegC, "a;b"}));
    const Strings units = {"", "m", "A", "V", "bar", "C", "F", kDegC, kDegF, "psi", "a;b", "kPa"};
    for (int row = 1; row <= 24; ++row)
        EXPECT_EQ(Items(physical, row, 2), units) << row;
}

// A unit list stops where the document loader stops: a new unit beyond is refused.
TEST_F(PhysicalInputTest, UnitListsStopWhereTheLoaderStops) {
    ActivatePh(1);
    for (int row = 1; row <= 24; ++row) {
        Strings& items = Cell(physical, row, 2)->GetData();
        for (int n = static_cast<int>(items.size()); n < CBrChnData::MAX_ITEMS - 1; ++n)
            items.push_back("#" + std::to_string(n));
    }
    EXPECT_EQ(physical.ValidateData(1, 2, "last"), 1);
    EXPECT_EQ(physical.ValidateData(1, 2, "more"), 0);
    EXPECT_EQ(Error(physical), IDS_TOO_MANY_UNITS);
    EXPECT_EQ(physical.ValidateData(1, 2, "bar"), 1) << "units already offered are still taken";
    EXPECT_EQ(Items(physical, 24, 2).size(), static_cast<std::size_t>(CBrChnData::MAX_ITEMS));
}

} // namespace
