// Random edits across the Physical Input, Logical Input, General and Alarm sheets, received alarm blocks
// among them, with the alarm rules checked after every step:
// - an alarm's input reference is "OFF" or an offered item naming an active input, and its mirror columns
//   hold exactly that input's parameters; an alarm on "OFF" holds its defaults;
// - every alarm offers exactly the active inputs as input references and the active logical inputs as
//   dynamic references, "OFF" first and the others in order;
// - a dynamic reference has the alarm's parameters, and "±" is used exactly with one;
// - the set point lies within the display range of the alarm's input;
// - the Flags column names the flags that are on, and typed Flags letters name exactly those;
// - the block sent for an alarm holds only codes the unit knows;
// and, for the alarms that a step reaches only through change notices:
// - a dynamic reference is kept exactly when its logical input ends with the alarm's mirror columns;
// - the comparison stays as chosen, except that "±" becomes "<" when the dynamic reference is lost.
#include "model/ChannelNames.h"
#include "model/NumberText.h"
#include "tests/sheets/SheetsFixture.h"

#include <algorithm>
#include <array>
#include <random>

namespace {
class AlarmInvariant : public SheetsFixture {
protected:
    // "OFF", then the active inputs (or only the logical ones) in order.
    Strings Offered(bool physicalToo) const {
        Strings names;
        for (int ph = 1; physicalToo && ph <= 24; ++ph)
            if (physical.IsChannelActive(ph)) names.push_back(g_PhInpChn[ph]);
        for (int log = 1; log <= 8; ++log)
            if (logical.IsOtherParmActive(log, -1)) names.push_back(GetLogChnName(log));
        std::sort(names.begin(), names.end());
        names.insert(names.begin(), "OFF");
        return names;
    }

    // The first rule the sheets break, or the empty string; `before` are the choices before the step, which
    // edited alarm `edited` directly (0: none).
    std::string Violation(const std::vector<Strings>& before, int edited) {
        static const Strings defaults = {"OFF", "OFF", "<", "0", "", "0.3", "OFF", "OFF", "..."};
        const Strings inputs = Offered(true), logicals = Offered(false);
        const auto fail = [](int row, const std::string& what) {
            return "alarm " + std::to_string(row) + " " + what;
        };
        for (int row = 1; row <= 48; ++row) {
            if (Items(alarm, row, ALM_COL_INPREF) != inputs || Items(alarm, row, ALM_COL_DYNREF) != logicals)
                return fail(row, "does not offer the active inputs in order");
            std::array<BYTE, 32> sent;
            alarm.GetAlarmDataBlock(row - 1, sent.data());
            if ((sent[0] > 31 && sent[0] != 48) || sent[5] > 6 || sent[6] > 24 || sent[7] > 14)
                return fail(row, "block holds an unknown code");
            const std::string reference = Alm(row, ALM_COL_INPREF);
            if (reference == "OFF") {
                if (Values(alarm, row, 1, 9) != defaults || Mirror(row) != Strings(7, ""))
                    return fail(row, "inactive without its defaults");
                continue;
            }
            const Strings parms =
                reference[0] == 'I' ? PhParms(GetPhChnIndex(reference)) : LogParms(GetLogChnIndex(reference));
            if (Mirror(row) != parms) return fail(row, "mirrors differ from " + reference);
            const std::string dynRef = Alm(row, ALM_COL_DYNREF), sign = Alm(row, ALM_COL_SIGN);
            if (dynRef != "OFF" && LogParms(GetLogChnIndex(dynRef)) != parms)
                return fail(row, "dynamic reference " + dynRef + " has other parameters");
            if ((sign == "\xB1") != (dynRef != "OFF")) return fail(row, dynRef + " with " + sign);
            const double low = AtoF(parms[3]), up = AtoF(parms[5]), point = AtoF(Alm(row, ALM_COL_SETPOINT));
            if (point < std::min(low, up) || point > std::max(low, up))
                return fail(row, "set point " + Alm(row, ALM_COL_SETPOINT) + " outside the display range");
            if (Alm(row, ALM_COL_FLAGS) != FlagsText(row))
                return fail(row, "Flags text differs from the flags");
            // Reached through notices only.
            const std::string &dynBefore = before[row - 1][0], &signBefore = before[row - 1][1];
            if (row == edited) continue;
            const bool kept = dynRef == dynBefore;
            if (dynBefore != "OFF" && kept != (LogParms(GetLogChnIndex(dynBefore)) == parms))
                return fail(row, dynBefore + (kept ? " kept" : " lost") + " against the final parameters");
            if (sign != (signBefore == "\xB1" && !kept ? "<" : signBefore))
                return fail(row, "comparison became " + sign);
        }
        return std::string();
    }

    // The letters of the flags that are on, in order, or "...".
    std::string FlagsText(int row) const {
        std::string text;
        for (int i = 0; i < 3; ++i)
            if (Flag(row, i) == "ON") text += "BCH"[i];
        return text.empty() ? "..." : text;
    }

    // Few physical inputs with few distinct parameters, so that equal parameters and shared inputs are
    // common. Returns what it did.
    std::string Step(std::mt19937& random) {
        auto pick = [&](const Strings& list) { return list[random() % list.size()]; };
        auto between = [&](int low, int high) { return low + static_cast<int>(random() % (high - low + 1)); };
        auto edit = [](IBrantSetupType& sheet, int row, int col, const std::string& text) {
            sheet.ValidateData(row, col, text);
            return sheet.GetTitle() + " " + std::to_string(row) + "," + std::to_string(col) + " '" + text +
                   "'";
        };
        static const Strings types = {"OFF", "20 mA", "10 V", "24 V"}, units = {"", "bar", "C"},
                             limits = {"0", "10", "-10", "12.5"},
                             oddRefs = {"OFF", "11", "12", "in 13", "LOG2 (1B)", "LOG10", "", "X", "LOG8"},
                             setPoints = {"5", "-20", "12.5", "99", "1.2345", "abc"},
                             delays = {"0.3", "1", "2.5", "100000", "0.1", "x"}, onOff = {"ON", "OFF"},
                             flagTexts = {"CB", "b", "hC", "BCH", "...", "", "C", "B.", "X", "bb", " H"};
        const int kind = between(0, 39);
        const int row = between(1, 6) == 1 ? between(1, 48) : between(1, 6); // the alarm a step edits
        edited = kind >= 17 && kind != 38 ? row : 0;
        if (kind < 8) {
            const int input = between(1, 4), col = between(1, 7);
            return edit(physical, input, col, pick(col == 1 ? types : col == 2 ? units : limits));
        }
        if (kind == 8 || kind == 16 || kind == 39) {
            IBrantSetupType& sheet = kind == 8    ? static_cast<IBrantSetupType&>(physical)
                                     : kind == 16 ? static_cast<IBrantSetupType&>(logical)
                                                  : static_cast<IBrantSetupType&>(alarm);
            const int reset = kind == 8 ? between(1, 4) : kind == 16 ? between(1, 7) : row;
            sheet.ResetChannel(reset);
            return sheet.GetTitle() + " reset " + std::to_string(reset);
        }
        if (kind < 16) {
            const int input = between(1, 7), col = between(1, 3);
            return edit(logical, input, col, pick(LogItems(input, col)));
        }
        if (kind < 24)
            return edit(alarm, row, ALM_COL_INPREF, pick(random() % 3 ? Items(alarm, row, 1) : oddRefs));
        if (kind < 34) {
            const int col = between(2, 8);
            const std::string text = col == ALM_COL_DYNREF     ? pick(Items(alarm, row, col))
                                     : col == ALM_COL_SIGN     ? std::string(g_Signs[random() % 3])
                                     : col == ALM_COL_SETPOINT ? pick(setPoints)
                                     : col == ALM_COL_DELAY    ? pick(delays)
                                                               : std::to_string(between(0, 26));
            return edit(alarm, row, col, text);
        }
        if (kind < 36) {
            if (random() % 2) {
                if (alarm.IsChannelActive(row)) SetFlags(row, {pick(onOff), pick(onOff), pick(onOff)});
                return "alarm " + std::to_string(row) + " flags";
            }
            // Typed letters, in any order and case, name exactly the flags that are on; "..." and the empty
            // text none; any other character changes nothing.
            const std::string text = pick(flagTexts);
            Strings expected = {Flag(row, 0), Flag(row, 1), Flag(row, 2)};
            const bool letters = text == "..." || text.find_first_not_of("BCHbch") == std::string::npos;
            for (std::size_t i = 0; i < 3 && letters && alarm.IsChannelActive(row); ++i)
                expected[i] =
                    text.find_first_of(std::string{"BCH"[i], "bch"[i]}) != std::string::npos ? "ON" : "OFF";
            const std::string what = edit(alarm, row, ALM_COL_FLAGS, text);
            if ((Strings{Flag(row, 0), Flag(row, 1), Flag(row, 2)}) != expected) stepFault = "flags differ";
            return what;
        }
        if (kind < 38) {
            std::array<BYTE, 32> block;
            for (BYTE& b : block)
                b = static_cast<BYTE>(random());
            block[0] = static_cast<BYTE>(random() % 2 ? between(0, 3) : between(24, 27));
            block[3] &= 0x7F;
            alarm.SetAlarmData(row - 1, block.data());
            return "alarm " + std::to_string(row) + " received, reference byte " + std::to_string(block[0]);
        }
        return edit(general, 11, 1, pick({"OFF", "+REF", "-REF"}));
    }

    int edited = 0;
    std::string stepFault; // what a step did against its own rule
};
} // namespace

TEST_F(AlarmInvariant, RandomEditsKeepTheAlarmRules) {
    for (unsigned seed : {7u, 1999u, 20240611u}) {
        alarm.Initialize();
        logical.Initialize();
        physical.Initialize();
        std::mt19937 random(seed);
        int activeSeen = 0, dynamicSeen = 0;
        for (int step = 0; step < 2500; ++step) {
            std::vector<Strings> before; // dynamic reference and comparison of every alarm
            for (int row = 1; row <= 48; ++row)
                before.push_back({Alm(row, ALM_COL_DYNREF), Alm(row, ALM_COL_SIGN)});
            const std::string what = Step(random);
            ASSERT_EQ(stepFault + Violation(before, edited), "")
                << "seed " << seed << " step " << step << ": " << what;
            for (int row = 1; row <= 6; ++row) {
                activeSeen += alarm.IsChannelActive(row);
                dynamicSeen += Alm(row, ALM_COL_DYNREF) != "OFF";
            }
        }
        // The walk reaches the interesting states, not only the default sheet.
        EXPECT_GT(activeSeen, 2000) << seed;
        EXPECT_GT(dynamicSeen, 50) << seed;
    }
}
