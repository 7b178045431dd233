#pragma once

#include "model/CScriptedPrompt.h"
#include "sheets/general/CGeneral.h"
#include "sheets/logical/CLogicalInput.h"
#include "sheets/physical/CPhysicalInput.h"
#include "tests/sheets/RecordingSetupType.h"

#if __has_include("sheets/alarms/CAlarm.h")
#include "sheets/alarms/CAlarm.h"
#define SHEETS_FIXTURE_HAS_ALARM 1
#endif

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

// The setup types of one unit, registered in the setup-type table and initialised in unit order, as the
// unit does it. Message boxes go to a scripted prompt. The table is cleared again afterwards.
class SheetsFixture : public ::testing::Test {
protected:
    SheetsFixture() {
        IBrantSetupType::m_pBrantSetupTypes[SETUP_GENERAL] = &general;
        IBrantSetupType::m_pBrantSetupTypes[SETUP_PHYSICAL_INPUT] = &physical;
        IBrantSetupType::m_pBrantSetupTypes[SETUP_LOGICAL_INPUT] = &logical;
#ifdef SHEETS_FIXTURE_HAS_ALARM
        IBrantSetupType::m_pBrantSetupTypes[SETUP_ALARM] = &alarm;
#endif
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
        const CBrChnData* cell = Cell(sheet, row, col);
        return cell ? cell->GetDataAsString() : "<no cell>";
    }
    static std::vector<std::string> Items(const IBrantSetupType& sheet, int row, int col) {
        const CBrChnData* cell = Cell(sheet, row, col);
        return cell ? cell->GetData() : std::vector<std::string>{"<no cell>"};
    }

    std::string Ph(int row, int col) const {
        return Value(physical, row, col);
    }
    std::string Log(int row, int col) const {
        return Value(logical, row, col);
    }
    std::vector<std::string> LogItems(int row, int col) const {
        return Items(logical, row, col);
    }

    // Columns 1..7 of a physical input, and columns 13..19 of a logical input.
    std::vector<std::string> PhParms(int input) const {
        std::vector<std::string> texts;
        for (int col = 1; col <= 7; ++col)
            texts.push_back(Ph(input, col));
        return texts;
    }
    std::vector<std::string> LogParms(int input) const {
        std::vector<std::string> texts;
        for (int col = 13; col <= 19; ++col)
            texts.push_back(Log(input, col));
        return texts;
    }

    // Makes physical input `input` active with the given type and upper limit; returns ValidateData's result.
    int ActivatePh(int input, const std::string& type = "20 mA", const std::string& upper = "") {
        int ok = physical.ValidateData(input, 1, type);
        if (!upper.empty()) ok = physical.ValidateData(input, 5, upper) && ok;
        return ok;
    }

    CScriptedPrompt prompt;
    CGeneral general;
    CPhysicalInput physical;
    CLogicalInput logical;
#ifdef SHEETS_FIXTURE_HAS_ALARM
    CAlarm alarm;
#endif
    std::vector<std::unique_ptr<RecordingSetupType>> recorders;
};
