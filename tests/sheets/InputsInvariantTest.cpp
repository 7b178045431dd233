// Random edits of the Physical Input and Logical Input sheets, with the Logical Input rules checked after
// every step:
// - an input cell offers "OFF" first, and otherwise only active sources: active physical inputs and active
//   lower logical inputs (so LOG8, and LOGk in rows up to k, are never offered);
// - a picked source is not offered by another cell of the same row;
// - every active source is offered in each cell of the row that does not pick it, unless another cell picks
// it;
// - the sources of one logical input have the parameters its derived cells show; an inactive one shows none.
#include "model/ChannelNames.h"
#include "tests/sheets/SheetsFixture.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <random>
#include <sstream>

namespace {

std::string TrimLeft(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t\n\v\f\r");
    return first == std::string::npos ? std::string() : text.substr(first);
}

class InputsInvariantTest : public SheetsFixture {
protected:
    // The Alarm sheet is tested on its own; here a recorder in its place keeps the thousands of steps fast.
    InputsInvariantTest() : alarms(Record(SETUP_ALARM)) {}
    RecordingSetupType& alarms;

    const std::vector<std::string>& ItemsOf(int row, int col) const {
        return Cell(logical, row, col)->GetData();
    }
    bool LogActive(int row) const { return logical.IsOtherParmActive(row, -1) != 0; }

    static std::vector<std::string> Trimmed(std::vector<std::string> texts) {
        for (std::string& text : texts)
            text = TrimLeft(text);
        return texts;
    }

    // 1..24 for "IN 11".."IN 83", 25..31 for "LOG1".."LOG7", 0 for any other text.
    static int SourceId(const std::string& name) {
        if (name.size() == 5 && name.compare(0, 3, "IN ") == 0 && name[3] >= '1' && name[3] <= '8' &&
            name[4] >= '1' && name[4] <= '3')
            return (name[3] - '1') * 3 + (name[4] - '0');
        if (name.size() == 4 && name.compare(0, 3, "LOG") == 0 && name[3] >= '1' && name[3] <= '7')
            return 24 + (name[3] - '0');
        return 0;
    }

    // Whether a cell offers `name`; the sources follow "OFF" in ascending order (checked by Violation).
    static bool Offers(const std::vector<std::string>& items, const std::string& name) {
        return name == "OFF" || std::binary_search(items.begin() + 1, items.end(), name);
    }

    // The first rule the sheets break, or the empty string.
    std::string Violation() const {
        std::ostringstream out;
        std::uint32_t sources = 0; // what may be offered in the current row, by SourceId
        for (int ph = 1; ph <= 24; ++ph)
            if (physical.IsChannelActive(ph)) sources |= 1u << ph;
        for (int row = 1; row <= 7; ++row) {
            if (row > 1 && LogActive(row - 1)) sources |= 1u << (24 + row - 1);
            std::vector<std::string> picked;
            for (int col = 1; col <= 12; ++col) {
                const std::vector<std::string>& items = ItemsOf(row, col);
                if (items.empty() || items[0] != "OFF")
                    return out << "LOG" << row << " I" << col << " lacks OFF", out.str();
                for (std::size_t i = 1; i < items.size(); ++i) {
                    const int id = SourceId(items[i]);
                    if (id == 0 || !(sources >> id & 1u))
                        return out << "LOG" << row << " I" << col << " offers " << items[i], out.str();
                    if (i > 1 && !(items[i - 1] < items[i]))
                        return out << "LOG" << row << " I" << col << " is not sorted at " << items[i],
                               out.str();
                }
                const std::string value = Cell(logical, row, col)->GetDataAsString();
                if (value != "OFF") picked.push_back(value);
            }
            const std::vector<std::string> derived = LogParms(row);
            if (picked.empty() && derived != std::vector<std::string>(7, ""))
                return out << "inactive LOG" << row << " shows parameters", out.str();
            for (const std::string& source : picked) {
                int cellsHolding = 0;
                for (int col = 1; col <= 12; ++col)
                    cellsHolding += Offers(ItemsOf(row, col), source);
                if (cellsHolding != 1)
                    return out << "LOG" << row << " picks " << source << " and offers it in " << cellsHolding
                               << " cells",
                           out.str();
                // Physical parameters are compared without leading blanks.
                const bool ph = source[0] == 'I';
                if ((ph ? Trimmed(PhParms(GetPhChnIndex(source))) : LogParms(GetLogChnIndex(source))) !=
                    (ph ? Trimmed(derived) : derived))
                    return out << "LOG" << row << " shows other parameters than its source " << source,
                           out.str();
            }
            // Items are distinct active sources, so the count tells that every source the row does not
            // pick elsewhere is offered.
            for (int col = 1; col <= 12; ++col) {
                const std::size_t own = Cell(logical, row, col)->GetDataAsString() != "OFF";
                if (ItemsOf(row, col).size() - 1 != std::popcount(sources) - picked.size() + own)
                    return out << "LOG" << row << " I" << col << " does not offer every free source",
                           out.str();
            }
        }
        for (int col = 1; col <= 12; ++col)
            if (ItemsOf(8, col) != std::vector<std::string>{"OFF"}) return "LOG8 offers a source";
        return std::string();
    }

    // A random edit; physical inputs are few and alike so that equal parameters are common.
    std::string Step(std::mt19937& random) {
        using List = std::vector<std::string>;
        auto pick = [&](const List& list) { return list[random() % list.size()]; };
        static const List types = {"OFF", "20 mA", "10 V", "24 V"}, units = {"", "bar", "  V"},
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
        std::string text;
        if (isPhysical)
            text = pick(col == 1 ? types : col == 2 ? units : limits);
        else
            text = random() % 4 ? pick(ItemsOf(row, col)) : pick(odd);
        sheet.ValidateData(row, col, text);
        return sheet.GetTitle() + " " + std::to_string(row) + "," + std::to_string(col) + " '" + text + "'";
    }
};

TEST_F(InputsInvariantTest, RandomEditsKeepTheLogicalInputRules) {
    std::mt19937 random(20240611);
    int activeSeen = 0;
    for (int step = 0; step < 3000; ++step) {
        const std::string what = Step(random);
        const std::string broken = Violation();
        ASSERT_EQ(broken, "") << "step " << step << ": " << what;
        std::array<std::uint32_t, 7> rows{};
        int count = 0;
        logical.GetActiveLogInputs(rows.data(), count);
        activeSeen += count;
    }
    // The walk must reach busy sheets for the checks to mean anything.
    EXPECT_GT(activeSeen, 3000);
}

// Damaged blocks and texts: nothing crashes and the rules still hold.
TEST_F(InputsInvariantTest, RandomBlocksAndTextsKeepTheRules) {
    std::mt19937 random(7);
    std::array<BYTE, 32> block{};
    for (int step = 0; step < 1000; ++step) {
        const int kind = static_cast<int>(random() % 6);
        for (BYTE& b : block)
            b = static_cast<BYTE>(random());
        // Mostly plausible references, so that sources are really picked.
        for (int i = 16; i < 28; ++i)
            if (random() % 3)
                block[static_cast<std::size_t>(i)] =
                    static_cast<BYTE>(random() % 8 == 0 ? 48 : random() % 32);
        if (kind == 0) {
            block[0] = static_cast<BYTE>(random() % 5);
            physical.SetInputParms(static_cast<int>(random() % 26) - 1, block.data());
        } else if (kind == 1) {
            logical.SetLogInpParms(static_cast<int>(random() % 9) - 1, block.data());
        } else {
            std::string text(random() % 6, '\0');
            for (char& c : text)
                c = static_cast<char>(random() % 3 ? 0x80 + random() % 0x80 : random() % 0x80);
            if (random() % 4 == 0) text = random() % 2 ? ";" : "";
            const int row = static_cast<int>(random() % 30) - 3;
            const int col = static_cast<int>(random() % 24) - 2;
            if (kind == 2) physical.ValidateData(row, col, text);
            if (kind == 3) logical.ValidateData(row, col, text);
            if (kind == 4) physical.ValidateData(1 + random() % 4, 1, random() % 2 ? "20 mA" : "OFF");
            if (kind == 5) logical.ResetChannel(row);
        }
        const std::string broken = Violation();
        ASSERT_EQ(broken, "") << "step " << step << " kind " << kind;
    }
}

} // namespace
