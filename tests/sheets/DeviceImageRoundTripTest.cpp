// A configured unit's 87 blocks, applied to a fresh configuration as a download does, give back the same
// blocks and the same document.
#include "model/CScriptedPrompt.h"
#include "model/ChannelNames.h"
#include "model/NumberText.h"
#include "sheets/alarms/CAlarm.h"
#include "sheets/general/CGeneral.h"
#include "sheets/logical/CLogicalInput.h"
#include "sheets/physical/CPhysicalInput.h"
#include "support/DeviceBlocks.h"
#include "unit/CTavikDoc.h"
#include "unit/CZemUnit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <tuple>

namespace {

// Applies every block to a fresh configuration as a download does, then lists what the sheets corrected.
std::vector<CORRECTION> Download(CTavikDoc& document, const std::vector<Block>& blocks) {
    document.OnNewDocument();
    CZemUnit& unit = *document.GetZemUnit();
    unit.GetCorrections().Clear();
    ApplyAll(unit, blocks);
    CBrantSetupType* setups[SETUP_TYPE_COUNT];
    for (int i = 0; i < SETUP_TYPE_COUNT; ++i)
        setups[i] = unit.GetSetupType(i);
    unit.GetCorrections().Resolve(setups, SETUP_TYPE_COUNT);
    return unit.GetCorrections().GetList();
}

// A number text as a technician types it: up to three decimals (now and then a fourth), a magnitude up to
// `largest` steps of the last decimal; negative now and then when `sign`, always when `negative`.
std::string RandomNumber(std::mt19937& random, unsigned largest, bool sign, bool negative = false) {
    const int decimals = random() % 20 == 0 ? 4 : static_cast<int>(random() % 4);
    const unsigned magnitude = random() % (largest + 1);
    std::string text = std::to_string(magnitude);
    if (decimals > 0) {
        text.insert(0, static_cast<std::size_t>(std::max(0, decimals + 1 - static_cast<int>(text.size()))),
                    '0');
        text.insert(text.size() - static_cast<std::size_t>(decimals), ".");
    }
    return magnitude != 0 && (negative || (sign && random() % 2)) ? "-" + text : text;
}

std::string Text(CZemUnit& unit, int sheet, int row, int col) {
    return unit.GetSetupType(sheet)->GetDataSheet()->GetProperty(row, col)->GetDataAsString();
}

} // namespace

// A configured unit reaches the unit as the sheets show it: a fresh configuration that takes its 87 blocks,
// as a download does, corrects nothing, shows exactly the same texts and gives the same blocks again. Numbers
// are typed at random into every numeric column kind; general constants without a row carry through.
TEST(DeviceImage, ConfiguredUnitRoundTripsThroughAllBlocks) {
    std::mt19937 random(20261206);
    CScriptedPrompt prompt(true);
    for (int round = 0; round < 6; ++round) {
        CTavikDoc configured;
        configured.OnNewDocument();
        CZemUnit& unit = *configured.GetZemUnit();
        CBrantSetupType& general = *unit.GetSetupType(SETUP_GENERAL);
        CBrantSetupType& physical = *unit.GetSetupType(SETUP_PHYSICAL_INPUT);
        CBrantSetupType& logical = *unit.GetSetupType(SETUP_LOGICAL_INPUT);
        CBrantSetupType& alarm = *unit.GetSetupType(SETUP_ALARM);

        general.ValidateData(3, 1, std::to_string(random() % 70) + (random() % 4 ? "" : "x"));
        general.ValidateData(14, 1, RandomNumber(random, 1300, false));
        ASSERT_TRUE(general.ValidateData(11, 1, "+REF"));
        for (int row = 1; row <= 24; ++row) {
            ASSERT_TRUE(physical.ValidateData(row, 1, row == 5 ? "10 V" : "24 V"));
            ASSERT_TRUE(physical.ValidateData(row, 2, "bar"));
            for (int col : {3, 5})
                physical.ValidateData(row, col, RandomNumber(random, row == 5 ? 10 : 30, false));
            // The display range holds 0, the set point of an alarm that was not given one.
            for (int col : {4, 6, 7})
                physical.ValidateData(row, col, RandomNumber(random, 70000, col == 7, col == 4));
        }
        for (int col = 3; col <= 7; ++col) // IN 12 like IN 11, for a logical input of two sources
            ASSERT_TRUE(physical.ValidateData(2, col, Text(unit, SETUP_PHYSICAL_INPUT, 1, col)));
        for (int row = 1; row <= 3; ++row)
            ASSERT_TRUE(logical.ValidateData(row, 1, g_PhInpChn[row]));
        ASSERT_TRUE(logical.ValidateData(1, 2, "IN 12"));
        for (int row = 1; row <= 24; ++row) {
            ASSERT_TRUE(alarm.ValidateData(row, 1, g_PhInpChn[row]));
            alarm.ValidateData(row, 4, RandomNumber(random, 70000, true));
            alarm.ValidateData(row, 6, RandomNumber(random, 1000000, false));
        }
        const std::tuple<int, int, const char*> alarmEdits[] = {
            {25, 1, "LOG1"}, {25, 3, ">"},     {25, 5, "HIGH"}, {25, 7, "12"},
            {25, 8, "3"},    {26, 1, "IN 11"}, {26, 2, "LOG1"}, {26, 5, "PUMP 3 TOO HIGH"}};
        for (const auto& [row, col, text] : alarmEdits)
            ASSERT_TRUE(alarm.ValidateData(row, col, text)) << row << "," << col << " " << text;

        std::vector<Block> generalFromUnit(8, Block(32, 0));
        for (std::size_t b = 0; b < 8; ++b)
            for (std::size_t i = 0; i < 32; ++i)
                generalFromUnit[b][i] = static_cast<BYTE>(b * 32 + i);
        const std::vector<Block> sent = EncodeAll(unit, generalFromUnit);
        EXPECT_EQ(sent[7], generalFromUnit[7]);
        CTavikDoc downloaded;
        for (const CORRECTION& correction : Download(downloaded, sent))
            ADD_FAILURE() << "a value the program sent comes back corrected: "
                          << CDownloadCorrections::Describe(correction);
        CZemUnit& fresh = *downloaded.GetZemUnit();
        // Sheet, last row, last column.
        const std::tuple<int, int, int> shownCells[] = {{SETUP_GENERAL, 14, 1},
                                                        {SETUP_PHYSICAL_INPUT, 24, 7},
                                                        {SETUP_LOGICAL_INPUT, 3, 19},
                                                        {SETUP_ALARM, 26, 16}};
        for (const auto& [sheet, rows, cols] : shownCells)
            for (int row = 1; row <= rows; ++row)
                for (int col = 1; col <= cols; ++col)
                    EXPECT_EQ(Text(fresh, sheet, row, col), Text(unit, sheet, row, col))
                        << sheet << " " << row << "," << col;
        EXPECT_EQ(EncodeAll(fresh, sent), sent);
        EXPECT_TRUE(prompt.Messages().empty()) << "applying blocks shows no message box";
    }
}

// A unit with IN 11 as a 20 mA input showing 0 to 100, each row changing bytes of one block to a value the
// sheets do not take; the download lists exactly that correction.
TEST(DeviceImage, DownloadListsEveryCorrection) {
    CScriptedPrompt prompt(true);
    CTavikDoc configured;
    configured.OnNewDocument();
    CZemUnit& unit = *configured.GetZemUnit();
    ASSERT_TRUE(unit.GetSetupType(SETUP_PHYSICAL_INPUT)->ValidateData(1, 1, "20 mA"));
    ASSERT_TRUE(unit.GetSetupType(SETUP_PHYSICAL_INPUT)->ValidateData(1, 6, "100"));
    const std::vector<Block> base = EncodeAll(unit, std::vector<Block>(8, Block(32, 0)));
    const Block in11(base[8].begin(), base[8].end());

    constexpr int ALARM1 = 39, LOG1 = 32, IN11 = 8;
    using Correction =
        std::tuple<std::string, int, int, std::string, std::string>; // sheet, row, column, values
    const std::tuple<const char*, int, std::vector<std::pair<int, BYTE>>, Correction> cases[] = {
        {"set point above the input's range", ALARM1, {{0, 0}, {1, 150}}, {"Alarm", 1, 4, "150", "100"}},
        {"reference to an inactive input", ALARM1, {{0, 1}}, {"Alarm", 1, 1, "IN 12", "OFF"}},
        {"reference to a logical input the unit lacks", ALARM1, {{0, 33}}, {"Alarm", 1, 1, "code 33", "OFF"}},
        {"LED number outside the list", ALARM1, {{0, 0}, {6, 30}}, {"Alarm", 1, 7, "code 30", "OFF"}},
        {"time factor without a unit", ALARM1, {{0, 0}, {5, 9}}, {"Alarm", 1, 6, "code 9", "0.3"}},
        {"protocol code outside the table", 0, {{8, 7}}, {"General", 4, 1, "code 7", "BRANT BUS"}},
        {"device number above 62", 0, {{12, 63}}, {"General", 3, 1, "63", "0"}},
        {"baud rate the list lacks", 0, {{20, 0x00}, {21, 0xE1}}, {"General", 6, 1, "57600", "9600"}},
        {"input type code outside the table", IN11, {{0, 1}}, {"Physical Input", 1, 1, "code 1", "OFF"}},
        {"input limit beyond the type's range", IN11, {{7, 25}}, {"Physical Input", 1, 5, "25", "20"}},
        {"inactive logical source", LOG1, {{16, 0}, {17, 1}}, {"Logical Input", 1, 2, "IN 12", "OFF"}}};
    for (const auto& [kind, block, bytes, expected] : cases) {
        SCOPED_TRACE(kind);
        std::vector<Block> blocks = base;
        if (block == LOG1) {
            // A logical input on IN 11 carries IN 11's parameters and unit.
            std::copy(in11.begin(), in11.begin() + 16, blocks[LOG1].begin());
            std::copy(in11.begin() + 28, in11.end(), blocks[LOG1].begin() + 28);
        }
        for (const auto& [offset, value] : bytes)
            blocks[static_cast<std::size_t>(block)][static_cast<std::size_t>(offset)] = value;
        CTavikDoc downloaded;
        const std::vector<CORRECTION> list = Download(downloaded, blocks);
        ASSERT_EQ(list.size(), 1u) << (list.empty() ? std::string()
                                                    : CDownloadCorrections::Describe(list.back()));
        EXPECT_EQ(Correction(list[0].sheet, list[0].row, list[0].col, list[0].unitValue, list[0].sheetValue),
                  expected);
        // The message names the row and the column by their titles.
        if (kind == std::get<0>(cases[0])) {
            EXPECT_EQ(
                downloaded.GetZemUnit()->GetCorrections().Report(1),
                "The sheets corrected values the unit holds but the sheets do not allow. The unit keeps "
                "its values until the next upload.\n\nAlarm 1 (A11), SetPoint: the unit holds \"150\", "
                "the sheet shows \"100\"");
        }
    }
}
