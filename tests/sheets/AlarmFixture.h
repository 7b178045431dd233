#pragma once

#include "model/Messages.h"
#include "sheets/alarms/CAlarm.h"
#include "tests/sheets/SheetsFixture.h"

#include <string>
#include <vector>

// The four sheets of one unit with helpers for the Alarm sheet tests.
class AlarmSheets : public SheetsFixture {
protected:
    std::string Value(int row, int col) const { return SheetsFixture::Value(alarm, row, col); }
    const std::vector<std::string>& Items(int row, int col) const { return Cell(alarm, row, col)->GetData(); }
    std::vector<std::string> Mirror(int row) const {
        std::vector<std::string> texts;
        for (int col = ALM_COL_MIRROR; col < ALARM_CELLS; ++col)
            texts.push_back(Value(row, col));
        return texts;
    }
    std::string Flag(int row, int i) const {
        return (*alarm.GetFlagGroup(row))[static_cast<std::size_t>(i)]->GetDataAsString();
    }
    UINT LastError() { return static_cast<UINT>(alarm.GetLastError()); }

    // Physical input `input` (1..24) with a type, a unit and an LCD range.
    void ActivatePhysical(int input, const std::string& type = "24 V", const std::string& lcdLo = "0",
                          const std::string& lcdUp = "100", const std::string& unit = "bar") {
        physical.ValidateData(input, 1, type);
        physical.ValidateData(input, 2, unit);
        physical.ValidateData(input, 4, lcdLo);
        physical.ValidateData(input, 6, lcdUp);
    }
    // Alarm `row` on an input, checked to be accepted.
    void UseInput(int row, const std::string& reference) {
        ASSERT_TRUE(alarm.ValidateData(row, ALM_COL_INPREF, reference))
            << reference << " error " << LastError();
    }
    // Confirms the flag popup of an alarm with the given values, as the sheet view does.
    void SetFlags(int row, const std::vector<std::string>& values) {
        std::vector<CBrChnData*> props(8, nullptr);
        int count = 0;
        ASSERT_TRUE(alarm.GetPopupProperties(row, ALM_COL_FLAGS, props.data(), count));
        for (std::size_t i = 0; i < values.size() && i < static_cast<std::size_t>(count); ++i)
            props[i]->SetSelText(values[i]);
        alarm.UpdateProperties(row, ALM_COL_FLAGS, props.data(), count);
        for (int i = 0; i < count; ++i)
            delete props[static_cast<std::size_t>(i)];
    }
};
