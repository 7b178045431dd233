#include "model/CArchive.h"
#include "model/Messages.h"
#include "tests/sheets/SheetsFixture.h"

#include <array>
#include <cstdint>
#include <tuple>

namespace {

using Strings = std::vector<std::string>;
const std::string kDegC = "\xB0"
                          "C";

class PhysicalInputTest : public SheetsFixture {
protected:
    UINT LastError() { return static_cast<UINT>(physical.GetLastError()); }
    std::vector<std::uint32_t> Active() const {
        std::array<std::uint32_t, 24> rows{};
        int count = -1;
        physical.GetActiveChannels(rows.data(), count);
        return {rows.begin(), rows.begin() + count};
    }
};

// --- A new document.

TEST_F(PhysicalInputTest, NewDocumentHasEveryInputOffWithDefaultValues) {
    ASSERT_EQ(physical.GetDataSheet()->GetNumSections(), 25);
    for (int row = 1; row <= 24; ++row) {
        EXPECT_EQ(PhParms(row), (Strings{"OFF", "", "0", "0", "0", "0", "0"})) << row;
        EXPECT_EQ(physical.IsChannelActive(row), 0);
    }
    EXPECT_TRUE(Active().empty());
    EXPECT_EQ(Items(physical, 5, 1), (Strings{"OFF", "20 mA", "10 V", "24 V"}));
    EXPECT_EQ(Items(physical, 5, 2), (Strings{"", "m", "A", "V", "bar", "C", "F", kDegC,
                                              "\xB0"
                                              "F"}));
    EXPECT_EQ(Cell(physical, 5, 2)->m_nMaxTextLen, 4);
    ASSERT_EQ(ActivatePh(1, "24 V"), 1);
    EXPECT_EQ(physical.IsChannelActive(1), 1);
    EXPECT_EQ(Active(), std::vector<std::uint32_t>{1});
    EXPECT_EQ(physical.IsChannelActive(0), 0); // the header's "InpTp" is not a type
    EXPECT_EQ(physical.IsChannelActive(25), 0);
    EXPECT_EQ(physical.IsChannelActive(-1), 0);
}

// --- Input types and input limits.

TEST_F(PhysicalInputTest, InputLimitsAreClampedToTheInputType) {
    ActivatePh(3, "10 V");
    // Column, text, accepted, shown afterwards; a refused text keeps the value before it.
    const std::tuple<int, const char*, int, const char*> cases[] = {
        {5, "10", 1, "10"}, {5, "0", 1, "0"}, {5, "5.5", 1, "5.5"}, {5, "12", 0, "10"},
        {3, "-1", 0, "0"},  {3, "", 1, ""},   {3, "1.2.3", 0, ""},  {3, " 4", 0, ""}};
    for (const auto& [col, text, accepted, shown] : cases) {
        EXPECT_EQ(physical.ValidateData(3, col, text), accepted) << text;
        EXPECT_EQ(Ph(3, col), shown) << text;
        EXPECT_EQ(LastError(), accepted ? 0u : IDS_OUT_OFF_RANGE_CLOSEST) << text;
    }
}

TEST_F(PhysicalInputTest, ChangingTheTypeClampsLimitsButKeepsTheType) {
    ActivatePh(2, "24 V", "24");
    EXPECT_EQ(physical.ValidateData(2, 1, "10 V"), 0);
    EXPECT_EQ(LastError(), IDS_OUT_OFF_RANGE_CLOSEST);
    EXPECT_EQ(Ph(2, 1), "10 V");
    EXPECT_EQ(Ph(2, 5), "10");
    // An accepted edit clears the recorded message.
    EXPECT_EQ(physical.ValidateData(2, 1, "24 V"), 1);
    EXPECT_EQ(LastError(), 0u);
}

TEST_F(PhysicalInputTest, UnknownTypesAreRefused) {
    ActivatePh(4, "10 V");
    for (const std::string text : {"12 V", "", "off", "20 mA;OFF", "\xFF\x80"}) {
        EXPECT_EQ(physical.ValidateData(4, 1, text), 0) << text;
        EXPECT_EQ(LastError(), IDS_INVALID_INPUT_TYPE);
        EXPECT_EQ(Ph(4, 1), "10 V");
    }
    // An empty item left in the list by a received block is no type either.
    Cell(physical, 4, 1)->GetData().push_back("");
    EXPECT_EQ(physical.ValidateData(4, 1, ""), 0);
    EXPECT_EQ(Ph(4, 1), "10 V");
}

TEST_F(PhysicalInputTest, ValuesOfAnInactiveInputAreRefused) {
    for (int col = 2; col <= 7; ++col) {
        EXPECT_EQ(physical.ValidateData(6, col, "3"), 0) << col;
        EXPECT_EQ(LastError(), IDS_CHANNEL_NOT_ACTIVE);
    }
    EXPECT_EQ(PhParms(6), (Strings{"OFF", "", "0", "0", "0", "0", "0"}));
    EXPECT_EQ(Items(physical, 6, 2).size(), 9u);
}

// LCD values and the miscellaneous value take any number the unit holds as typed; others are refused.
TEST_F(PhysicalInputTest, LcdValuesAreNumbersTheUnitHolds) {
    ActivatePh(7);
    // Column, text, message (0: taken); a refused text keeps the value before it.
    const std::tuple<int, const char*, UINT> cases[] = {{4, "-12.5", 0},
                                                        {6, "4.35", 0},
                                                        {7, "65535", 0},
                                                        {4, "1.2345", IDS_TOO_MANY_DECIMALS},
                                                        {6, "70000", IDS_NUMBER_TOO_LARGE},
                                                        {6, "655.36", IDS_NUMBER_TOO_LARGE},
                                                        {6, "0x10", IDS_INVALID_VALUE_LAST},
                                                        {6, "1e2", IDS_INVALID_VALUE_LAST},
                                                        {6, "abc", IDS_INVALID_VALUE_LAST},
                                                        {7, "", IDS_INVALID_VALUE_LAST}};
    for (const auto& [col, text, id] : cases) {
        EXPECT_EQ(physical.ValidateData(7, col, text), id == 0) << text;
        EXPECT_EQ(LastError(), id) << text;
    }
    EXPECT_EQ(PhParms(7), (Strings{"20 mA", "", "0", "-12.5", "0", "4.35", "65535"}));
    // An input limit with a fourth decimal is refused the same way.
    EXPECT_EQ(physical.ValidateData(7, 5, "4.0001"), 0);
    EXPECT_EQ(LastError(), IDS_TOO_MANY_DECIMALS);
    EXPECT_EQ(Ph(7, 5), "0");
}

TEST_F(PhysicalInputTest, TurningAnInputOffResetsIt) {
    ActivatePh(8, "24 V", "12");
    physical.ValidateData(8, 2, "bar");
    physical.ValidateData(8, 4, "7");
    physical.ValidateData(8, 7, "5");
    EXPECT_EQ(physical.ValidateData(8, 1, "OFF"), 1);
    EXPECT_EQ(PhParms(8), (Strings{"OFF", "", "0", "0", "0", "0", "0"}));
    physical.ValidateData(8, 1, "24 V");
    physical.ValidateData(8, 7, "5");
    physical.ResetChannel(8);
    EXPECT_EQ(PhParms(8), (Strings{"OFF", "", "0", "0", "0", "0", "0"}));
}

// --- Units.

TEST_F(PhysicalInputTest, ANewUnitIsOfferedOnEveryInput) {
    ActivatePh(1);
    ActivatePh(2);
    physical.ValidateData(2, 2, "V");
    EXPECT_EQ(physical.ValidateData(1, 2, "psi"), 1);
    EXPECT_EQ(Ph(1, 2), "psi");
    EXPECT_EQ(Ph(2, 2), "V");
    for (int row = 1; row <= 24; ++row)
        EXPECT_EQ(Items(physical, row, 2).back(), "psi") << row;
    // Typing it again, or with leading blanks, selects the existing item.
    EXPECT_EQ(physical.ValidateData(2, 2, "  psi"), 1);
    EXPECT_EQ(Ph(2, 2), "psi");
    EXPECT_EQ(physical.ValidateData(2, 2, "\tbar"), 1);
    EXPECT_EQ(Ph(2, 2), "bar");
    EXPECT_EQ(Items(physical, 2, 2).size(), 10u);
    // A unit with a separator stays one item.
    for (const std::string unit : {";", "a;b"}) {
        EXPECT_EQ(physical.ValidateData(1, 2, unit), 1);
        EXPECT_EQ(Ph(1, 2), unit);
    }
    EXPECT_EQ(Items(physical, 9, 2).size(), 12u);
}

// --- Change notices.

TEST_F(PhysicalInputTest, EveryEditIsAnnouncedToEverySetupType) {
    RecordingSetupType& general = Record(SETUP_GENERAL);
    RecordingSetupType& alarm = Record(SETUP_ALARM);
    ActivatePh(5, "10 V");
    physical.ValidateData(5, 5, "99");    // clamped
    physical.ValidateData(5, 2, "  bar"); // trimmed
    physical.ValidateData(6, 4, "1");     // refused: inactive input
    const std::vector<RecordingSetupType::Notice> expected = {
        {1, 5, 1, "10 V"}, {1, 5, 5, "10"}, {1, 5, 2, "bar"}, {1, 6, 4, "1"}};
    EXPECT_EQ(alarm.notices, expected);
    EXPECT_EQ(general.notices, expected);
    // Turning an input off is announced twice.
    alarm.notices.clear();
    physical.ValidateData(5, 1, "OFF");
    EXPECT_EQ(alarm.notices, (std::vector<RecordingSetupType::Notice>{{1, 5, 1, "OFF"}, {1, 5, 1, "OFF"}}));
}

TEST_F(PhysicalInputTest, CoordinatesOutsideTheInputsChangeNothing) {
    RecordingSetupType& alarm = Record(SETUP_ALARM);
    for (int row : {-1, 0, 25, 1000})
        for (int col : {-1, 1, 2, 8})
            EXPECT_EQ(physical.ValidateData(row, col, "20 mA"), 0);
    physical.ResetChannel(0);
    physical.ResetChannel(25);
    std::array<BYTE, 32> block;
    block.fill(0xAB);
    physical.GetInputParms(24, block.data());
    physical.GetInputParms(-1, block.data());
    physical.SetInputParms(24, block.data());
    EXPECT_EQ(block[0], 0xAB);
    EXPECT_TRUE(alarm.notices.empty());
    EXPECT_EQ(Ph(0, 1), "InpTp");
}

// --- Device image.

using Block = std::array<BYTE, 32>;

TEST_F(PhysicalInputTest, BlockCarriesTypeNumbersAndUnit) {
    ActivatePh(1, "20 mA", "20");
    physical.ValidateData(1, 3, "4");
    physical.ValidateData(1, 6, "100.0");
    physical.ValidateData(1, 2, "bar");
    Block block{};
    physical.GetInputParms(0, block.data());
    const Block expected = {0x04, 0x04, 0x00, 0x00, 0x00, 0x00, 0x00, 0x14, 0x00, 0x00, 0xE8,
                            0x03, 0x08, 0x00, 0x00, 0x00, 0,    0,    0,    0,    0,    0,
                            0,    0,    0,    0,    0,    0,    0x62, 0x61, 0x72, 0x20};
    EXPECT_EQ(block, expected);
}

TEST_F(PhysicalInputTest, BlockKeepsTheBytesItDoesNotOwn) {
    ActivatePh(24, "10 V");
    Block block;
    block.fill(0xFF);
    physical.GetInputParms(23, block.data());
    EXPECT_EQ(block[0], 0x02);
    for (int i = 16; i < 28; ++i)
        EXPECT_EQ(block[static_cast<std::size_t>(i)], 0xFF);
    EXPECT_EQ(block[3], 0xFF & ~0x98); // sign and scale cleared, other bits kept
    EXPECT_EQ(block[28], 0x20);
}

TEST_F(PhysicalInputTest, DegreeUnitTravelsAsDF) {
    ActivatePh(2);
    physical.ValidateData(2, 2, kDegC);
    Block block{};
    physical.GetInputParms(1, block.data());
    EXPECT_EQ((std::array<BYTE, 4>{block[28], block[29], block[30], block[31]}),
              (std::array<BYTE, 4>{0xDF, 0x43, 0x20, 0x20}));
    physical.ResetChannel(2);
    physical.SetInputParms(1, block.data());
    EXPECT_EQ(PhParms(2), (Strings{"20 mA", kDegC, "0", "0", "0", "0", "0"}));
}

TEST_F(PhysicalInputTest, ReceivedBlockIsCheckedAsAnEdit) {
    Block block{};
    block[0] = 0x03;                           // 24 V
    block[7] = 30;                             // upper limit 30: above the type
    block[10] = 0x7D, block[12] = 0x08 | 0x80; // LCD upper -12.5
    block[28] = 'p', block[29] = 's', block[30] = 'i', block[31] = ' ';
    RecordingSetupType& alarm = Record(SETUP_ALARM);
    physical.SetInputParms(4, block.data());
    EXPECT_EQ(PhParms(5), (Strings{"24 V", "psi", "0", "0", "24", "-12.5", "0"}));
    EXPECT_EQ(alarm.notices.size(), 7u);
    EXPECT_TRUE(prompt.Log().empty());
}

TEST_F(PhysicalInputTest, ReceivedOffOrUnknownType) {
    ActivatePh(3, "24 V");
    Block block{};
    block[1] = 5;
    block[28] = 'b', block[29] = 'a', block[30] = 'r', block[31] = ' ';
    physical.SetInputParms(2, block.data());
    EXPECT_EQ(PhParms(3), (Strings{"OFF", "", "0", "0", "0", "0", "0"}));
    // An unknown type keeps the old one.
    ActivatePh(3, "10 V");
    block[0] = 1;
    physical.SetInputParms(2, block.data());
    EXPECT_EQ(Ph(3, 1), "10 V");
    EXPECT_EQ(Items(physical, 3, 1), (Strings{"OFF", "20 mA", "10 V", "24 V", ""}));
}

// --- Document file.

TEST_F(PhysicalInputTest, ReadingADocumentMergesTheUnitsOfAllInputs) {
    ActivatePh(2, "10 V", "7.5");
    physical.ValidateData(2, 2, "psi");
    // An input stored by an older program with a unit no other input offers.
    Cell(physical, 9, 2)->GetData().push_back("kPa");
    CArchive out(CArchive::store);
    physical.DoFileReadWrite(out, 3);

    physical.Initialize();
    CArchive in(out.GetBuffer());
    physical.DoFileReadWrite(in, 3);
    EXPECT_EQ(in.GetRemaining(), 0u);
    EXPECT_EQ(PhParms(2), (Strings{"10 V", "psi", "0", "0", "7.5", "0", "0"}));
    const std::vector<std::string>& catalogue = physical.GetUnitCatalogue().GetData();
    ASSERT_EQ(catalogue.size(), 11u);
    EXPECT_EQ(catalogue[9], "psi");
    EXPECT_EQ(catalogue[10], "kPa");
    for (int row = 1; row <= 24; ++row)
        EXPECT_EQ(Items(physical, row, 2), catalogue) << row;
    EXPECT_EQ(Ph(9, 2), "");
}

// The unit lists stop where the document loader stops: a full sheet reads back, a new unit beyond is refused,
// and inputs stored with different lists that together exceed a list are refused when read.
TEST_F(PhysicalInputTest, UnitListsStopWhereTheLoaderStops) {
    ActivatePh(1);
    for (int row = 1; row <= 24; ++row) {
        Strings& items = Cell(physical, row, 2)->GetData();
        for (int n = static_cast<int>(items.size()); n < CBrChnData::MAX_ITEMS - 1; ++n)
            items.push_back("#" + std::to_string(n));
    }
    EXPECT_EQ(physical.ValidateData(1, 2, "last"), 1);
    EXPECT_EQ(physical.ValidateData(1, 2, "more"), 0);
    EXPECT_EQ(LastError(), IDS_TOO_MANY_UNITS);
    EXPECT_EQ(Ph(1, 2), "last");
    EXPECT_EQ(physical.ValidateData(1, 2, "bar"), 1) << "units already offered are still taken";

    const auto reread = [&] {
        CArchive out(CArchive::store);
        physical.DoFileReadWrite(out, 3);
        physical.Initialize();
        CArchive in(out.GetBuffer());
        physical.DoFileReadWrite(in, 3);
    };
    reread();
    EXPECT_EQ(Ph(1, 2), "bar");
    EXPECT_EQ(Items(physical, 24, 2).size(), static_cast<std::size_t>(CBrChnData::MAX_ITEMS));
    Cell(physical, 5, 2)->GetData().back() = "more";
    EXPECT_THROW(reread(), CArchiveException);
}

TEST_F(PhysicalInputTest, DegreeUnitOfAnOlderFileIsRepaired) {
    ActivatePh(1);
    Cell(physical, 1, 2)->GetData()[7] = "\xDF"
                                         "C";
    physical.ValidateData(1, 2,
                          "\xDF"
                          "C");
    CArchive out(CArchive::store);
    physical.DoFileReadWrite(out, 3);
    physical.Initialize();
    CArchive in(out.GetBuffer());
    physical.DoFileReadWrite(in, 3);
    EXPECT_EQ(Ph(1, 2), kDegC);
    EXPECT_EQ(Items(physical, 1, 2).size(), 9u);
}

TEST_F(PhysicalInputTest, TruncatedRecordFails) {
    CArchive out(CArchive::store);
    physical.DoFileReadWrite(out, 3);
    std::vector<std::uint8_t> bytes = out.GetBuffer();
    bytes.resize(bytes.size() / 2);
    CArchive in(bytes);
    EXPECT_THROW(physical.DoFileReadWrite(in, 3), CArchiveException);
}

} // namespace
