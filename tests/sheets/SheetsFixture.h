#pragma once

#include "model/CScriptedPrompt.h"
#include "model/Messages.h"
#include "sheets/alarms/CAlarm.h"
#include "sheets/general/CGeneral.h"
#include "sheets/logical/CLogicalInput.h"
#include "sheets/physical/CPhysicalInput.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <tuple>
#include <vector>

using Strings = std::vector<std::string>;
const std::string kDegC = std::string("\xB0") + "C";

// A setup type without a sheet that records every change notice it receives, in order.
class RecordingSetupType : public CBrantSetupType {
public:
    using Notice = std::tuple<int, int, int, std::string>; // source, row, column, text
    explicit RecordingSetupType(SETUP_TYPE slot) { m_nSetupType = slot; }
    int ValidateData(int, int, std::string) override { return 1; }
    void SetParm(int, int, std::string) override {}
    void Initialize() override {}
    void ResetChannel(int) override {}
    int GetNumChannels() override { return 0; }
    int UploadData(CComSetupDialog*) override { return 0; }
    int DownloadData(CComSetupDialog*) override { return 0; }
    std::vector<Notice> notices;

protected:
    void OnUpdateModify(int source, int row, int col, std::string text) override {
        notices.push_back({source, row, col, std::move(text)});
    }

private:
    void CreateDefDataSheet() override {}
};
using Notices = std::vector<RecordingSetupType::Notice>;

// The four sheets of one unit, registered in the setup-type table and initialised in unit order, as the unit
// does it. Message boxes go to a scripted prompt. The table is cleared again afterwards.
class SheetsFixture : public ::testing::Test {
protected:
    SheetsFixture() {
        IBrantSetupType::m_pBrantSetupTypes[SETUP_GENERAL] = &general;
        IBrantSetupType::m_pBrantSetupTypes[SETUP_PHYSICAL_INPUT] = &physical;
        IBrantSetupType::m_pBrantSetupTypes[SETUP_LOGICAL_INPUT] = &logical;
        IBrantSetupType::m_pBrantSetupTypes[SETUP_ALARM] = &alarm;
        for (IBrantSetupType* setup : IBrantSetupType::m_pBrantSetupTypes)
            if (setup) setup->Initialize();
    }
    ~SheetsFixture() override {
        for (IBrantSetupType*& setup : IBrantSetupType::m_pBrantSetupTypes)
            setup = nullptr;
    }

    // Puts a recorder into `slot` in place of the sheet there (which stays alive but hears nothing more).
    RecordingSetupType& Record(SETUP_TYPE slot) {
        recorders.push_back(std::make_unique<RecordingSetupType>(slot));
        IBrantSetupType::m_pBrantSetupTypes[slot] = recorders.back().get();
        return *recorders.back();
    }

    static CBrChnData* Cell(const IBrantSetupType& sheet, int row, int col) {
        return sheet.GetDataSheet() ? sheet.GetDataSheet()->GetCellChecked(row, col) : nullptr;
    }
    static std::string Value(const IBrantSetupType& sheet, int row, int col) {
        return Cell(sheet, row, col) ? Cell(sheet, row, col)->GetDataAsString() : "<no cell>";
    }
    static Strings Items(const IBrantSetupType& sheet, int row, int col) {
        return Cell(sheet, row, col) ? Cell(sheet, row, col)->GetData() : Strings{"<no cell>"};
    }
    static Strings Values(const IBrantSetupType& sheet, int row, int firstCol, int lastCol) {
        Strings texts;
        for (int col = firstCol; col <= lastCol; ++col)
            texts.push_back(Value(sheet, row, col));
        return texts;
    }
    static UINT Error(IBrantSetupType& sheet) { return static_cast<UINT>(sheet.GetLastError()); }

    std::string Ph(int row, int col) const { return Value(physical, row, col); }
    std::string Log(int row, int col) const { return Value(logical, row, col); }
    std::string Alm(int row, int col) const { return Value(alarm, row, col); }
    Strings LogItems(int row, int col) const { return Items(logical, row, col); }
    // Columns 1..7 of a physical input, columns 13..19 of a logical input, the mirror columns of an alarm.
    Strings PhParms(int input) const { return Values(physical, input, 1, 7); }
    Strings LogParms(int input) const { return Values(logical, input, 13, 19); }
    Strings Mirror(int row) const { return Values(alarm, row, ALM_COL_MIRROR, ALARM_CELLS - 1); }
    std::string Flag(int row, int i) const {
        return (*alarm.GetFlagGroup(row))[static_cast<std::size_t>(i)]->GetDataAsString();
    }

    // Makes physical input `input` active with the given type (and upper limit).
    void ActivatePh(int input, const std::string& type = "20 mA", const std::string& upper = "") {
        physical.ValidateData(input, 1, type);
        if (!upper.empty()) physical.ValidateData(input, 5, upper);
    }
    // Physical input `input` with a type, an LCD range and a unit, as the alarms see it.
    void ActivatePhysical(int input, const std::string& type = "24 V", const std::string& lcdLo = "0",
                          const std::string& lcdUp = "100", const std::string& unit = "bar") {
        ActivatePh(input, type);
        physical.ValidateData(input, 2, unit);
        physical.ValidateData(input, 4, lcdLo);
        physical.ValidateData(input, 6, lcdUp);
    }
    // Alarm `row` on an input, checked to be accepted.
    void UseInput(int row, const std::string& reference) {
        ASSERT_TRUE(alarm.ValidateData(row, ALM_COL_INPREF, reference)) << reference << " " << Error(alarm);
    }
    // Confirms the flag popup of an alarm with the given values, as the sheet view does.
    void SetFlags(int row, const Strings& values) {
        std::vector<CBrChnData*> props(8, nullptr);
        int count = 0;
        ASSERT_TRUE(alarm.GetPopupProperties(row, ALM_COL_FLAGS, props.data(), count));
        for (std::size_t i = 0; i < values.size() && i < static_cast<std::size_t>(count); ++i)
            props[i]->SetSelText(values[i]);
        alarm.UpdateProperties(row, ALM_COL_FLAGS, props.data(), count);
        for (int i = 0; i < count; ++i)
            delete props[static_cast<std::size_t>(i)];
    }

    CScriptedPrompt prompt;
    CGeneral general;
    CPhysicalInput physical;
    CLogicalInput logical;
    CAlarm alarm;
    std::vector<std::unique_ptr<RecordingSetupType>> recorders;
};
