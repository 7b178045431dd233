#include "sheets/general/CGeneral.h"

#include "model/CanonicalText.h"
#include "model/IPrompt.h"
#include "model/Messages.h"
#include "model/NumberText.h"
#include "sheets/general/GeneralTables.h"

namespace {
struct ValueRow {
    short dataType;
    int editable;
    const char* const* items;
    int count;
    const char* defaultText; // null: the first item
};

// Value cells of rows 1..14.
const ValueRow g_valueRows[GENERAL_SHOWN_ROWS] = {
    {0, 0, nullptr, 0, nullptr},
    {DATA_TYPE_TEXT, 0, g_GenInit[0], 3, nullptr},
    {DATA_TYPE_TEXT, 0, g_GenFuncTest[0], 2, nullptr},
    {DATA_TYPE_INT, 1, nullptr, 0, "1"},
    {DATA_TYPE_TEXT, 1, g_Protocol[0], 2, "MODBUS"},
    {DATA_TYPE_TEXT, 0, g_GenRS485BR, 9, "9600"},
    {DATA_TYPE_TEXT, 0, g_GenRS232BR, 9, "9600"},
    {DATA_TYPE_TEXT, 0, g_GenRemLEDTest, 2, nullptr},
    {DATA_TYPE_TEXT, 0, g_GenRemReset, 2, nullptr},
    {DATA_TYPE_TEXT, 0, g_GenResetFunc[0], 3, nullptr},
    {DATA_TYPE_TEXT, 0, g_GenOutpFolInp, 2, nullptr},
    {DATA_TYPE_TEXT, 0, g_GenBlockMode[0], 3, nullptr},
    {DATA_TYPE_TEXT, 0, g_ALOutInvert, 2, nullptr},
    {DATA_TYPE_TEXT, 0, g_2ndALPuls, 2, nullptr},
    {DATA_TYPE_FLOAT, 1, nullptr, 0, "0"},
};

const char* const g_strConfigWarning =
    "Warning: This will restore default configuration of all parameters in the "
    "Zemra on next power up.\n\rPress OK to continue or Cancel";
const char* const g_strConfGenWarning =
    "Warning: This will restore default configuration of all parameters \n\r"
    "and general constants in the Zemra on next power up.\n\r"
    "Press OK to continue or Cancel";
} // namespace

CGeneral::CGeneral() {
    m_nSetupType = SETUP_GENERAL;
}

CGeneral::~CGeneral() = default;

void CGeneral::Initialize() {
    FreeDataSheet();
    m_strTitle = "General";
    m_nSetupType = SETUP_GENERAL;
    m_nNumColumns = 2;
    CreateDefDataSheet();
}

int CGeneral::GetNumChannels() {
    return GENERAL_SHOWN_ROWS;
}

void CGeneral::ResetChannel(int) {}

void CGeneral::OnUpdateModify(int, int, int, std::string) {}

void CGeneral::CreateDefDataSheet() {
    PrepareDataSheet(GENERAL_ROWS);
    CSectionArray& sections = *m_pDataSheet->m_pSections;
    for (int row = 0; row < GENERAL_ROWS; ++row) {
        auto* section = new CSection(2, nullptr);
        if (row == 0) {
            (*section)[0] = CreateLabelCell(g_ColTitle[0]);
            (*section)[1] = CreateLabelCell(g_ColTitle[1]);
        } else if (row < GENERAL_SHOWN_ROWS) {
            const ValueRow& rowInfo = g_valueRows[row];
            (*section)[0] = CreateLabelCell(g_GenLabels[row]);
            auto* value = new CBrChnData(rowInfo.dataType, rowInfo.editable, CTRL_STYLE_PLAIN, CLR_DEFAULT);
            if (rowInfo.items) {
                for (int i = 0; i < rowInfo.count; ++i)
                    value->AddData(rowInfo.items[i]);
            } else {
                value->AddData(rowInfo.defaultText);
            }
            if (rowInfo.items && rowInfo.defaultText) value->SetSelText(rowInfo.defaultText);
            value->SetPropName(g_GenLabels[row]);
            (*section)[1] = value;
        } else {
            auto* name = new CBrChnData(DATA_TYPE_TEXT, 0, CTRL_STYLE_PLAIN, CLR_DEFAULT);
            name->SetPropName(g_unusedConstants[row - GENERAL_SHOWN_ROWS]);
            auto* value = new CBrChnData(DATA_TYPE_TEXT, 0, CTRL_STYLE_PLAIN, CLR_DEFAULT);
            value->AddData("NON");
            (*section)[0] = name;
            (*section)[1] = value;
        }
        sections[static_cast<std::size_t>(row)] = section;
    }
}

void CGeneral::SetParm(int row, int col, std::string text) {
    if (CBrChnData* cell = GetCell(row, col)) cell->SetSelText(std::move(text));
}

std::string CGeneral::CanonicalText(int row, int col, const std::string& text) const {
    if (col != 1 || row < 1 || row >= GENERAL_SHOWN_ROWS) return text;
    DecimalNumber number;
    const bool plain = ParseDecimal(text, number);
    if (row == GEN_ROW_DEVICE_NUMBER)
        return plain && !number.negative && text.find('.') == std::string::npos && number.digits <= 999999
                   ? std::to_string(number.digits)
                   : text;
    if (row == GEN_ROW_HYSTERESIS) {
        // Only a whole number of the unit's 0.05 % steps: another text is refused, not rounded.
        long long hundredths = 0;
        bool exact = false;
        return plain && ToSteps(number, 2, hundredths, &exact) && exact && hundredths >= 0 &&
                       hundredths % 5 == 0
                   ? ShortDecimal(hundredths, 2)
                   : text;
    }
    const CBrChnData* cell = GetCell(row, col);
    return cell ? ListSpelling(cell->GetData(), text) : text;
}

std::string CGeneral::GetAllowedText(int row, int col) {
    // The numbers are checked against these ranges in ValidateData.
    if (col == 1 && row == GEN_ROW_DEVICE_NUMBER) return "1 to 62";
    if (col == 1 && row == GEN_ROW_HYSTERESIS) return "0 to 12.5 in steps of 0.05";
    return CBrantSetupType::GetAllowedText(row, col);
}

int CGeneral::ValidateData(int row, int col, std::string text) {
    text = CanonicalText(row, col, text);
    if (row == GEN_ROW_INIT) {
        const char* warning = text == "CONFIG"       ? g_strConfigWarning
                              : text == "CONF + GEN" ? g_strConfGenWarning
                                                     : nullptr;
        if (warning && !GetPrompt().AskOkCancel(warning)) {
            // The user said no: nothing was wrong with the value, so there is no message to show.
            Error(row, 0, 0);
            return 0;
        }
    }

    int result = 0;
    UINT error = IDS_INVALID_VALUE;
    switch (row) {
    case GEN_ROW_DEVICE_NUMBER:
        result = IsInRange(row, col, text, 1, 62);
        break;
    case GEN_ROW_HYSTERESIS:
        result = fIsInRange(row, col, text, 0.0f, 12.5f, error);
        break;
    default:
        if (row >= 1 && row < GENERAL_SHOWN_ROWS) {
            const ValueRow& rowInfo = g_valueRows[row];
            result = IsValidParm(row, col, text, rowInfo.items, rowInfo.count);
        }
        break;
    }

    NotifyAll(row, col, text);
    Error(row, error, 0);
    return result;
}

int CGeneral::IsValidParm(int row, int col, std::string& text, const char* const* list, int count) {
    if (count < 1 || !list) return 0;
    for (int i = 0; i < count; ++i) {
        if (text == list[i]) {
            if (CBrChnData* cell = GetCell(row, col)) cell->SetSelText(text);
            return 1;
        }
    }
    return 0;
}

// The device number: blanks, then digits only. A number followed by letters would reach the unit as the
// number alone while the sheet showed the letters.
int CGeneral::IsInRange(int row, int col, std::string text, int min, int max) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first != std::string::npos && text.find_first_not_of("0123456789", first) != std::string::npos)
        return 0;
    const int number = AtoI(text);
    // One character assigned rather than a literal: GCC 12 at -O3 warns falsely (-Wrestrict) on the literal.
    if (number == 0) text.assign(1, '0');
    if (number < min || number > max) return 0;
    if (CBrChnData* cell = GetCell(row, col)) cell->SetSelText(text);
    return 1;
}

int CGeneral::fIsInRange(int row, int col, std::string text, float min, float max, UINT& error) {
    DecimalNumber number;
    if (!ParseDecimal(text, number)) {
        // A text without any number counts as 0 ("nan" and "inf" are numbers out of range); one with digits
        // and more is no number the unit takes.
        if (text.find_first_of("0123456789") != std::string::npos || AtoF(text) != 0.0) return 0;
        text.assign(1, '0');
        ParseDecimal(text, number);
    }
    const double value = AtoF(text);
    // One character assigned rather than a literal: GCC 12 at -O3 warns falsely (-Wrestrict) on the literal.
    if (value == 0.0) text.assign(1, '0');
    if (!(value >= min && value <= max)) return 0;
    // The unit counts the hysteresis in steps of 0.05 %: 0.07 would reach it as 0.05.
    long long hundredths = 0;
    bool exact = false;
    if (!ToSteps(number, 2, hundredths, &exact) || !exact || hundredths % 5 != 0) {
        error = IDS_HYSTERESIS_STEP;
        return 0;
    }
    if (CBrChnData* cell = GetCell(row, col)) cell->SetSelText(text);
    return 1;
}
