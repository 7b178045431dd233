// Random edits of the Physical Input and Logical Input sheets, and damaged blocks and texts, with the Logical
// Input rules checked after every step:
// - an input cell offers "OFF", then in order its own source and every active source the row does not pick
//   elsewhere: active physical inputs and active lower logical inputs (so LOG8 offers none);
// - a row picks only active sources, each once;
// - the sources of one logical input have the parameters its derived cells show; an inactive one shows none.
#include "model/ChannelNames.h"
#include "tests/sheets/SheetsFixture.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <random>

namespace {

class InputsInvariantTest : public SheetsFixture {
protected:
    // The Alarm sheet is tested on its own; here a recorder in its place keeps the thousands of steps fast.
    InputsInvariantTest() { Record(SETUP_ALARM); }

    // Physical parameters are compared without leading blanks.
    static Strings Trimmed(Strings texts) {
        for (std::string& text : texts)
            text.erase(0, std::min(text.size(), text.find_first_not_of(" \t\n\v\f\r")));
        return texts;
    }

    // The first rule the sheets break, or the empty string.
    std::string Violation() const {
        Strings active; // in order: the names sort as the inputs do
        for (int ph = 1; ph <= 24; ++ph)
            if (physical.IsChannelActive(ph)) active.push_back(g_PhInpChn[ph]);
        const auto fail = [](int row, const std::string& what) {
            return "LOG" + std::to_string(row) + " " + what;
        };
        for (int row = 1; row <= 8; ++row) {
            const Strings offerable = row < 8 ? active : Strings{};
            Strings picked, free;
            for (int col = 1; col <= 12; ++col)
                if (Log(row, col) != "OFF") picked.push_back(Log(row, col));
            std::sort(picked.begin(), picked.end());
            if (std::adjacent_find(picked.begin(), picked.end()) != picked.end())
                return fail(row, "picks a source twice");
            std::set_difference(offerable.begin(), offerable.end(), picked.begin(), picked.end(),
                                std::back_inserter(free));
            if (free.size() + picked.size() != offerable.size()) return fail(row, "picks an inactive source");
            for (int col = 1; col <= 12; ++col) {
                Strings expected = free;
                if (Log(row, col) != "OFF") expected.push_back(Log(row, col));
                std::sort(expected.begin(), expected.end());
                expected.insert(expected.begin(), "OFF");
                if (LogItems(row, col) != expected)
                    return fail(row, "I" + std::to_string(col) + " offers other sources");
            }
            const Strings derived = LogParms(row);
            if (picked.empty() && derived != Strings(7, ""))
                return fail(row, "shows parameters while inactive");
            for (const std::string& source : picked)
                if (source[0] == 'I' ? Trimmed(PhParms(GetPhChnIndex(source))) != Trimmed(derived)
                                     : LogParms(GetLogChnIndex(source)) != derived)
                    return fail(row, "shows other parameters than its source " + source);
            if (!picked.empty()) active.push_back(GetLogChnName(row));
        }
        return std::string();
    }

    // A random edit; physical inputs are few and alike so that equal parameters are common.
    std::string Step(std::mt19937& random) {
        auto pick = [&](const Strings& list) { return list[random() % list.size()]; };
        static const Strings types = {"OFF", "20 mA", "10 V", "24 V"}, units = {"", "bar", "  V"},
                             limits = {"0", "10", "20", "30"},
                             odd = {"OFF", "12", "99", "LOG3", "IN 8", "\xB0;"};
        const int kind = static_cast<int>(random() % 20);
        const bool isPhysical = kind < 8;
        IBrantSetupType& sheet = isPhysical ? static_cast<IBrantSetupType&>(physical) : logical;
        const int row = 1 + static_cast<int>(random() % (isPhysical ? 5 : 8));
        if (kind == 7 || kind >= 18) {
            sheet.ResetChannel(row);
            return sheet.GetTitle() + " reset " + std::to_string(row);
        }
        const int col = 1 + static_cast<int>(random() % (isPhysical ? 7 : 12));
        const Strings& physicalTexts = col == 1 ? types : col == 2 ? units : limits;
        // A third of the physical edits copy another input's value, so that inputs with equal parameters,
        // which one logical input may combine, are common.
        const std::string text = isPhysical ? (random() % 3 ? pick(physicalTexts) : Ph(1 + random() % 5, col))
                                 : random() % 4 ? pick(LogItems(row, col))
                                                : pick(odd);
        sheet.ValidateData(row, col, text);
        return sheet.GetTitle() + " " + std::to_string(row) + "," + std::to_string(col) + " '" + text + "'";
    }

    // A damaged block or text, also at rows and columns outside the sheets: nothing crashes.
    std::string Damage(std::mt19937& random) {
        const int kind = static_cast<int>(random() % 6);
        std::array<BYTE, 32> block;
        for (BYTE& b : block)
            b = static_cast<BYTE>(random());
        // Mostly plausible references, so that sources are really picked.
        for (int i = 16; i < 28; ++i)
            if (random() % 3)
                block[static_cast<std::size_t>(i)] =
                    static_cast<BYTE>(random() % 8 == 0 ? 48 : random() % 32);
        std::string text(random() % 6, '\0');
        for (char& c : text)
            c = static_cast<char>(random() % 3 ? 0x80 + random() % 0x80 : random() % 0x80);
        if (random() % 4 == 0) text = random() % 2 ? ";" : "";
        const int row = static_cast<int>(random() % 30) - 3, col = static_cast<int>(random() % 24) - 2;
        if (kind == 0) {
            block[0] = static_cast<BYTE>(random() % 5);
            physical.SetInputParms(row % 26, block.data());
        }
        if (kind == 1) logical.SetLogInpParms(row % 9, block.data());
        if (kind == 2) physical.ValidateData(row, col, text);
        if (kind == 3) logical.ValidateData(row, col, text);
        if (kind == 4) physical.ValidateData(1 + random() % 4, 1, random() % 2 ? "20 mA" : "OFF");
        if (kind == 5) logical.ResetChannel(row);
        return "damage " + std::to_string(kind) + " at " + std::to_string(row) + "," + std::to_string(col);
    }
};

TEST_F(InputsInvariantTest, RandomEditsAndDamageKeepTheLogicalInputRules) {
    std::mt19937 random(20240611);
    int activeSeen = 0;
    for (int step = 0; step < 4000; ++step) {
        const std::string what = step % 4 == 3 ? Damage(random) : Step(random);
        ASSERT_EQ(Violation(), "") << "step " << step << ": " << what;
        std::array<std::uint32_t, 7> rows{};
        int count = 0;
        logical.GetActiveLogInputs(rows.data(), count);
        activeSeen += count;
    }
    // The walk must reach busy sheets for the checks to mean anything.
    EXPECT_GT(activeSeen, 3000);
}

} // namespace
