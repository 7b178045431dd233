// One value, one text: in every state the random edit walk reaches, with values given in other spellings
// ("07", "+5", " 3", "0.50", "2.000", lower-case list values, trailing blanks), the sheets' own device image
// decodes to exactly the texts of their cells; and older documents load into the same texts.
#include "model/CScriptedPrompt.h"
#include "model/CanonicalText.h"
#include "support/DeviceBlocks.h"
#include "support/RandomEdit.h"
#include "unit/CTavikDoc.h"
#include "unit/ConfigCompare.h"

#include <gtest/gtest.h>

#include <random>

namespace {
// The cells of `unit` after its image has gone to a fresh configuration, as a download takes it.
ConfigValues Downloaded(CTavikDoc& document) {
    CZemUnit& unit = *document.GetZemUnit();
    const std::vector<Block> blocks = EncodeAll(unit, std::vector<Block>(8, Block(32, 0)));
    document.OnNewDocument();
    ApplyAll(unit, blocks);
    return ReadConfigValues(unit);
}

int ActiveAlarms(CZemUnit& unit) {
    int active = 0;
    for (int row = 1; row <= ALARM_COUNT; ++row)
        active += static_cast<CAlarm*>(unit.GetSetupType(SETUP_ALARM))->IsChannelActive(row) ? 1 : 0;
    return active;
}
} // namespace

TEST(CanonicalText, EveryReachableStateDecodesToItsOwnTexts) {
    CScriptedPrompt prompt(true);
    CTavikDoc document;
    document.OnNewDocument();
    std::mt19937 random(20261207);
    int units = 0, activeSeen = 0;
    for (int step = 1; step <= 6000; ++step) {
        RandomEdit(*document.GetZemUnit(), random, units, step % 7 == 0, true);
        if (step % 20 != 0) continue;
        activeSeen += ActiveAlarms(*document.GetZemUnit());
        const ConfigValues held = ReadConfigValues(*document.GetZemUnit());
        const std::vector<ConfigDifference> differences = CompareConfigValues(held, Downloaded(document));
        ASSERT_TRUE(differences.empty()) << "step " << step << "\n"
                                         << FormatDifferences(differences, "Sheets", "Decoded");
    }
    // The walk must reach configured alarms for the check to mean anything.
    EXPECT_GT(activeSeen, 300);
}

// Each spelling reaches the cell as the one text the unit gives back; a text that is another value stays
// another value.
TEST(CanonicalText, SpellingsOfOneValueAreOneText) {
    // clang-format off
    const struct { std::string (*canonical)(const std::string&); std::string given, text; } cases[] = {
        {CanonicalNumber, "+5", "5"}, {CanonicalNumber, "007", "7"}, {CanonicalNumber, " 3", "3"},
        {CanonicalNumber, "-0", "0"}, {CanonicalNumber, ".5", "0.5"}, {CanonicalNumber, "5.", "5"},
        {CanonicalNumber, "5.0", "5.0"}, {CanonicalNumber, "2.000", "2.000"}, {CanonicalNumber, "-0.50", "-0.50"},
        {CanonicalNumber, "1.0001", "1.0001"}, {CanonicalNumber, "12a", "12a"},
        {CAlarm::CanonicalDelay, "0.300", "0.3"}, {CAlarm::CanonicalDelay, "2.000", "2"},
        {CAlarm::CanonicalDelay, "120.0", "120"}, {CAlarm::CanonicalDelay, "100.5", "100.5"},
        {CanonicalUnitText, " b ar ", "bar"}, {CanonicalUnitText, "\xDF" "C", "\xB0" "C"},
    };
    // clang-format on
    for (const auto& c : cases)
        EXPECT_EQ(c.canonical(c.given), c.text) << c.given;
    EXPECT_EQ(ListSpelling({"OFF", "IN 11"}, " in 11"), "IN 11");
    EXPECT_EQ(ListSpelling({"OFF", "IN 11"}, "in 12"), "in 12");
    EXPECT_EQ(ShortDecimal(50, 2), "0.5");
    EXPECT_EQ(ShortDecimal(-300, 2), "-3");
}

// Texts of every kind, typed as given, a download of the unit's image gives back for them.
TEST(CanonicalText, EditsStoreTheTextTheUnitGivesBack) {
    CScriptedPrompt prompt(true);
    CTavikDoc document;
    document.OnNewDocument();
    CZemUnit& unit = *document.GetZemUnit();
    // clang-format off
    const struct { int sheet, row, col; std::string given, stored; bool taken; } cases[] = {
        {SETUP_GENERAL, 3, 1, "07", "7", true}, {SETUP_GENERAL, 14, 1, "0.50", "0.5", true},
        {SETUP_GENERAL, 14, 1, "0.07", "0.5", false}, {SETUP_GENERAL, 4, 1, "modbus", "MODBUS", true},
        {SETUP_PHYSICAL_INPUT, 1, 1, "10 v", "10 V", true}, {SETUP_PHYSICAL_INPUT, 1, 2, " psi  ", "psi", true},
        {SETUP_PHYSICAL_INPUT, 1, 2, "a\tb", "psi", false}, {SETUP_PHYSICAL_INPUT, 1, 6, "+100.0", "100.0", true},
        {SETUP_PHYSICAL_INPUT, 1, 5, " 08", "8", true}, {SETUP_LOGICAL_INPUT, 1, 1, "in 11", "IN 11", true},
        {SETUP_ALARM, 1, 1, "log1", "LOG1", true}, {SETUP_ALARM, 1, 4, "+05", "5", true},
        {SETUP_ALARM, 1, 5, "Pump 3    ", "Pump 3", true}, {SETUP_ALARM, 1, 5, "Pump\n3", "Pump 3", false},
        {SETUP_ALARM, 1, 5, std::string("a\x7F"), "Pump 3", false},
        {SETUP_ALARM, 1, 5, "Pump      3", "Pump", true}, {SETUP_ALARM, 1, 6, "2.000", "2", true},
        {SETUP_ALARM, 1, 6, "0.300", "0.3", true}, {SETUP_ALARM, 1, 7, "off", "OFF", true},
        {SETUP_ALARM, 1, 9, "hc", "CH", true},
    };
    // clang-format on
    for (const auto& c : cases) {
        CBrantSetupType& setup = *unit.GetSetupType(c.sheet);
        EXPECT_EQ(setup.ValidateData(c.row, c.col, c.given) != 0, c.taken) << c.given;
        EXPECT_EQ(setup.GetDataSheet()->GetProperty(c.row, c.col)->GetDataAsString(), c.stored) << c.given;
    }
    const ConfigValues held = ReadConfigValues(unit);
    EXPECT_TRUE(CompareConfigValues(held, Downloaded(document)).empty());
}

// A document of an older version holds texts as typed: it loads into the canonical texts, unmodified.
TEST(CanonicalText, OlderDocumentsLoadIntoCanonicalTexts) {
    CScriptedPrompt prompt(true);
    CTavikDoc document;
    document.OnNewDocument();
    CZemUnit& unit = *document.GetZemUnit();
    ASSERT_TRUE(unit.GetSetupType(SETUP_PHYSICAL_INPUT)->ValidateData(1, 1, "24 V"));
    ASSERT_TRUE(unit.GetSetupType(SETUP_ALARM)->ValidateData(1, 1, "IN 11"));
    // As an older program stored them: typed texts written straight into the cells.
    const struct {
        int sheet, row, col;
        std::string old, loaded;
    } cells[] = {
        {SETUP_GENERAL, 3, 1, "07", "7"},
        {SETUP_GENERAL, 14, 1, " 0", "0"},
        {SETUP_PHYSICAL_INPUT, 1, 6, "+20", "20"},
        {SETUP_ALARM, 1, 5, "HIGH      ", "HIGH"},
        {SETUP_ALARM, 1, 6, "0.300", "0.3"},
        {SETUP_ALARM, 1, 4, "+5", "5"},
        {SETUP_PHYSICAL_INPUT, 1, 2, " b ar", "ba"},
        {SETUP_ALARM, 2, 5, "0123456789  x", "0123456789"},
    };
    for (const auto& c : cells)
        unit.GetSetupType(c.sheet)->GetDataSheet()->GetProperty(c.row, c.col)->SetText(c.old);
    std::string error;
    ASSERT_TRUE(document.LoadFromBytes(document.SaveToBytes(), error)) << error;
    EXPECT_FALSE(document.IsModified());
    for (const auto& c : cells)
        EXPECT_EQ(unit.GetSetupType(c.sheet)->GetDataSheet()->GetProperty(c.row, c.col)->GetDataAsString(),
                  c.loaded)
            << c.old;
}
