// Random edits across the Physical Input, Logical Input, General and Alarm sheets, with the alarm rules
// checked after every step:
// - an alarm's input reference is "OFF" or an offered item naming an active input, and its mirror columns
//   hold exactly that input's parameters; an alarm on "OFF" holds its defaults;
// - every alarm offers exactly the active inputs as input references and the active logical inputs as
//   dynamic references, "OFF" first;
// - a dynamic reference has the alarm's parameters, and "±" is used only with one;
// and, for the alarms that a step reaches only through change notices:
// - a dynamic reference is kept exactly when its logical input ends with the alarm's mirror columns;
// - the comparison stays as chosen, except that "±" becomes "<" when the dynamic reference is lost.
#include "tests/sheets/SheetsFixture.h"

#include "model/ChannelNames.h"

#include <algorithm>
#include <array>
#include <random>
#include <set>
#include <sstream>

namespace {
class AlarmInvariant : public SheetsFixture {
protected:
    std::set<std::string> ActiveInputs(bool physicalToo) const {
        std::set<std::string> names;
        if (physicalToo)
            for (int ph = 1; ph <= 24; ++ph)
                if (physical.IsChannelActive(ph)) names.insert(g_PhInpChn[ph]);
        for (int log = 1; log <= 8; ++log)
            if (logical.IsOtherParmActive(log, -1)) names.insert(GetLogChnName(log));
        return names;
    }

    // The first rule the sheets break, or the empty string.
    std::string Violation() const {
        static const std::vector<std::string> defaults = {"OFF", "OFF", "<",   "0",  "",
                                                          "0.3", "OFF", "OFF", "..."};
        const std::set<std::string> inputs = ActiveInputs(true);
        const std::set<std::string> logicals = ActiveInputs(false);
        for (int row = 1; row <= 48; ++row) {
            std::ostringstream out;
            out << "alarm " << row << ": ";
            for (int col : {ALM_COL_INPREF, ALM_COL_DYNREF}) {
                const std::vector<std::string>& items = Items(alarm, row, col);
                if (items.empty() || items[0] != "OFF")
                    return out << "list " << col << " lacks OFF", out.str();
                const std::set<std::string> offered(items.begin() + 1, items.end());
                if (offered.size() + 1 != items.size()) return out << "list " << col << " repeats", out.str();
                if (offered != (col == ALM_COL_INPREF ? inputs : logicals))
                    return out << "list " << col << " is not the active inputs", out.str();
            }
            const std::string reference = Alm(row, ALM_COL_INPREF);
            if (reference == "OFF") {
                for (int col = 2; col <= 9; ++col)
                    if (Alm(row, col) != defaults[static_cast<std::size_t>(col - 1)])
                        return out << "inactive but column " << col << " is " << Alm(row, col), out.str();
                if (Mirror(row) != std::vector<std::string>(7, ""))
                    return out << "inactive with mirrors", out.str();
                continue;
            }
            const std::vector<std::string> parms =
                reference[0] == 'I' ? PhParms(GetPhChnIndex(reference)) : LogParms(GetLogChnIndex(reference));
            if (Mirror(row) != parms) return out << "mirrors differ from " << reference, out.str();
            const std::string dynRef = Alm(row, ALM_COL_DYNREF);
            if (dynRef != "OFF" && LogParms(GetLogChnIndex(dynRef)) != parms)
                return out << "dynamic reference " << dynRef << " has other parameters", out.str();
            if (Alm(row, ALM_COL_SIGN) == "\xB1" && dynRef == "OFF")
                return out << "\xB1 without a dynamic reference", out.str();
        }
        return std::string();
    }

    // Dynamic reference and comparison of every alarm.
    using Choices = std::vector<std::pair<std::string, std::string>>;
    Choices Snapshot() const {
        Choices choices;
        for (int row = 1; row <= 48; ++row)
            choices.emplace_back(Alm(row, ALM_COL_DYNREF), Alm(row, ALM_COL_SIGN));
        return choices;
    }

    // The first notice rule broken since `before`, or the empty string; `edited` was edited directly.
    std::string NoticeViolation(const Choices& before, int edited) const {
        for (int row = 1; row <= 48; ++row) {
            const auto& [dynRef, sign] = before[static_cast<std::size_t>(row - 1)];
            if (row == edited || !alarm.IsChannelActive(row)) continue;
            std::ostringstream out;
            out << "alarm " << row << " (" << dynRef << ", " << sign << "): ";
            const bool kept = Alm(row, ALM_COL_DYNREF) == dynRef;
            if (dynRef != "OFF" && kept != (LogParms(GetLogChnIndex(dynRef)) == Mirror(row)))
                return out << (kept ? "kept" : "lost") << " against the final parameters", out.str();
            const std::string expected = sign == "\xB1" && !kept ? "<" : sign;
            if (Alm(row, ALM_COL_SIGN) != expected)
                return out << "comparison became " << Alm(row, ALM_COL_SIGN), out.str();
        }
        return std::string();
    }

    // Few physical inputs with few distinct parameters, so that equal parameters and shared inputs are
    // common.
    std::string Step(std::mt19937& random) {
        using List = std::vector<std::string>;
        auto pick = [&](const List& list) { return list[random() % list.size()]; };
        auto between = [&](int low, int high) { return low + static_cast<int>(random() % (high - low + 1)); };
        auto edit = [](IBrantSetupType& sheet, int row, int col, const std::string& text) {
            sheet.ValidateData(row, col, text);
            return sheet.GetTitle() + " " + std::to_string(row) + "," + std::to_string(col) + " '" + text +
                   "'";
        };
        static const List types = {"OFF", "20 mA", "10 V", "24 V"}, units = {"", "bar", "C"},
                          limits = {"0", "10", "-10", "12.5"},
                          oddRefs = {"OFF", "11", "12", "in 13", "LOG2 (1B)", "LOG10", "", "X", "LOG8"},
                          setPoints = {"5", "-20", "12.5", "99", "1.2345", "abc"},
                          delays = {"0.3", "1", "2.5", "100000", "0.1", "x"}, onOff = {"ON", "OFF"};
        const int kind = between(0, 39);
        const int alarmRow = between(1, 6) == 1 ? between(1, 48) : between(1, 6);
        edited = kind >= 17 && kind != 38 ? alarmRow : 0;
        if (kind < 8) {
            const int row = between(1, 4), col = between(1, 7);
            return edit(physical, row, col, pick(col == 1 ? types : col == 2 ? units : limits));
        }
        if (kind == 8 || kind == 16 || kind == 39) {
            const int row = kind == 8 ? between(1, 4) : kind == 16 ? between(1, 7) : alarmRow;
            IBrantSetupType& sheet = kind == 8    ? static_cast<IBrantSetupType&>(physical)
                                     : kind == 16 ? static_cast<IBrantSetupType&>(logical)
                                                  : static_cast<IBrantSetupType&>(alarm);
            sheet.ResetChannel(row);
            return sheet.GetTitle() + " reset " + std::to_string(row);
        }
        if (kind < 16) {
            const int row = between(1, 7), col = between(1, 3);
            return edit(logical, row, col, pick(Cell(logical, row, col)->GetData()));
        }
        if (kind < 24) {
            const bool listed = random() % 3;
            return edit(alarm, alarmRow, ALM_COL_INPREF,
                        pick(listed ? Items(alarm, alarmRow, ALM_COL_INPREF) : oddRefs));
        }
        if (kind < 34) {
            const int col = between(2, 8);
            const std::string text = col == ALM_COL_DYNREF     ? pick(Items(alarm, alarmRow, col))
                                     : col == ALM_COL_SIGN     ? std::string(g_Signs[random() % 3])
                                     : col == ALM_COL_SETPOINT ? pick(setPoints)
                                     : col == ALM_COL_DELAY    ? pick(delays)
                                                               : std::to_string(between(0, 26));
            return edit(alarm, alarmRow, col, text);
        }
        if (kind < 36) {
            std::vector<CBrChnData*> props(3, nullptr);
            int count = 0;
            if (alarm.GetPopupProperties(alarmRow, ALM_COL_FLAGS, props.data(), count)) {
                for (int i = 0; i < count; ++i)
                    props[static_cast<std::size_t>(i)]->SetSelText(pick(onOff));
                alarm.UpdateProperties(alarmRow, ALM_COL_FLAGS, props.data(), count);
                for (int i = 0; i < count; ++i)
                    delete props[static_cast<std::size_t>(i)];
            }
            return "alarm " + std::to_string(alarmRow) + " flags";
        }
        if (kind < 38) {
            std::array<BYTE, 32> block;
            for (BYTE& b : block)
                b = static_cast<BYTE>(random());
            block[0] = static_cast<BYTE>(random() % 2 ? between(0, 3) : between(24, 27));
            block[3] &= 0x7F;
            alarm.SetAlarmData(alarmRow - 1, block.data());
            return "alarm " + std::to_string(alarmRow) + " received, reference byte " +
                   std::to_string(block[0]);
        }
        return edit(general, 11, 1, pick({"OFF", "+REF", "-REF"}));
    }

    int edited = 0; // the alarm the last step edited directly, 0 when none
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
            const Choices before = Snapshot();
            const std::string what = Step(random);
            const std::string broken = Violation();
            ASSERT_EQ(broken, "") << "seed " << seed << " step " << step << ": " << what;
            ASSERT_EQ(NoticeViolation(before, edited), "")
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
