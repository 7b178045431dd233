// The General sheet as the unit holds it: 64 constants of 32 bits, eight to a 32-byte block.
#include "sheets/general/CGeneral.h"

#include "model/CanonicalText.h"
#include "model/NumberText.h"
#include "sheets/general/GeneralTables.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iterator>

namespace {
// Sheet row carried by each device constant; -1 for constants the program never changes.
const int g_constantRows[GENERAL_CONSTANTS] = {GEN_ROW_INIT,
                                               GEN_ROW_FUNC_TEST,
                                               GEN_ROW_PROTOCOL,
                                               GEN_ROW_DEVICE_NUMBER,
                                               -1,
                                               GEN_ROW_RS232_BAUD,
                                               GEN_ROW_RS485_BAUD,
                                               GEN_ROW_REMOTE_RESET,
                                               GEN_ROW_OUTPUT_FOLLOWS,
                                               GEN_ROW_REMOTE_LED_TEST,
                                               GEN_ROW_BLOCK,
                                               GEN_ROW_RESET_FUNC,
                                               -1,
                                               GEN_ROW_ALARM_OUT_INVERTED,
                                               GEN_ROW_SECOND_PULSE,
                                               GEN_ROW_HYSTERESIS,
                                               -1,
                                               -1,
                                               -1,
                                               -1,
                                               -1,
                                               -1,
                                               -1,
                                               -1,
                                               -1,
                                               -1,
                                               -1,
                                               -1,
                                               -1,
                                               -1,
                                               -1,
                                               -1,
                                               -1,
                                               -1,
                                               -1,
                                               -1,
                                               -1,
                                               -1,
                                               -1,
                                               -1,
                                               -1,
                                               -1,
                                               -1,
                                               -1,
                                               -1,
                                               -1,
                                               -1,
                                               -1,
                                               -1,
                                               -1,
                                               -1,
                                               -1,
                                               -1,
                                               -1,
                                               -1,
                                               -1,
                                               -1,
                                               -1,
                                               -1,
                                               -1,
                                               -1,
                                               -1,
                                               -1,
                                               -1};

struct CodedList {
    const char* const* texts;
    const char* const* codes;
    int count;
};

// The coded list of rows 1, 2, 4, 9 and 11; null texts for other rows.
CodedList GetCodedList(int row) {
    switch (row) {
    case GEN_ROW_INIT:
        return {g_GenInit[0], g_GenInit[1], 3};
    case GEN_ROW_FUNC_TEST:
        return {g_GenFuncTest[0], g_GenFuncTest[1], 2};
    case GEN_ROW_PROTOCOL:
        return {g_Protocol[0], g_Protocol[1], 2};
    case GEN_ROW_RESET_FUNC:
        return {g_GenResetFunc[0], g_GenResetFunc[1], 3};
    case GEN_ROW_BLOCK:
        return {g_GenBlockMode[0], g_GenBlockMode[1], 3};
    default:
        return {nullptr, nullptr, 0};
    }
}

bool IsOnOffRow(int row) {
    return row == GEN_ROW_REMOTE_LED_TEST || row == GEN_ROW_REMOTE_RESET || row == GEN_ROW_OUTPUT_FOLLOWS ||
           row == GEN_ROW_ALARM_OUT_INVERTED || row == GEN_ROW_SECOND_PULSE;
}

std::uint32_t ReadLE32(const BYTE* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

void WriteLE32(BYTE* p, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<BYTE>(value >> (8 * i));
}
} // namespace

int CGeneral::GetConstantRow(int constant) {
    return constant >= 0 && constant < GENERAL_CONSTANTS ? g_constantRows[constant] : -1;
}

void CGeneral::GetConDataBlock(int first, BYTE* buffer) {
    for (int k = first; k < first + 8; ++k) {
        const int row = GetConstantRow(k);
        if (row < 0) continue;
        const CBrChnData* cell = GetCell(row, 1);
        WriteLE32(buffer + 4 * (k - first),
                  StringToValue(row, cell ? cell->GetDataAsString() : std::string()));
    }
}

void CGeneral::SetConstants(int first, BYTE* buffer) {
    for (int k = first; k < first + 8; ++k) {
        const int row = GetConstantRow(k);
        if (row < 0) continue;
        CBrChnData* cell = GetCell(row, 1);
        if (!cell) continue;
        const std::uint32_t value = ReadLE32(buffer + 4 * (k - first));
        const std::string text = FormatValue(row, value);
        // A value the text does not stand for (a code no list names, a device number outside 1..62) is
        // noted as the unit holds it, so that the text shown in its place counts as a correction.
        std::string held = text;
        if (row != GEN_ROW_HYSTERESIS && StringToValue(row, text) != value)
            held = GetCodedList(row).texts || IsOnOffRow(row) ? CodeText(value) : std::to_string(value);
        NoteReceived(row, 1, held);
        cell->SetSelText(text);
    }
}

std::uint32_t CGeneral::StringToValue(int row, const std::string& text) {
    const CodedList list = GetCodedList(row);
    if (list.texts) {
        for (int i = 0; i < list.count; ++i)
            if (text == list.texts[i]) return static_cast<std::uint32_t>(AtoI(list.codes[i]));
        return static_cast<std::uint32_t>(AtoI(list.codes[0]));
    }
    if (row == GEN_ROW_DEVICE_NUMBER || row == GEN_ROW_RS485_BAUD || row == GEN_ROW_RS232_BAUD)
        return static_cast<std::uint32_t>(AtoI(text));
    if (IsOnOffRow(row)) return text == "OFF" ? 0u : text == "ON" ? 1u : 0xFFFFFFFFu;
    if (row == GEN_ROW_HYSTERESIS) {
        // Steps of 0.05 %, counted from the decimal text so that 0.35 is 7 steps, not 6.99... cut to 6. A
        // checked cell holds 0..12.5 in whole steps; other texts (from an older document) take the nearest
        // step and saturate.
        DecimalNumber number;
        long long hundredths = 0;
        double steps = 0.0;
        if (ParseDecimal(text, number) && ToSteps(number, 2, hundredths))
            steps = static_cast<double>(hundredths >= 0 ? (hundredths + 2) / 5 : -((2 - hundredths) / 5));
        else
            steps = std::round(AtoF(text) * 20.0);
        if (std::isnan(steps)) return 0;
        const double clamped = std::clamp(steps, -2147483648.0, 4294967295.0);
        return static_cast<std::uint32_t>(static_cast<std::int64_t>(clamped));
    }
    return 0xFFFFFFFFu;
}

std::string CGeneral::FormatValue(int row, std::uint32_t value) {
    char text[48];
    const CodedList list = GetCodedList(row);
    if (list.texts) {
        for (int i = 0; i < list.count; ++i)
            if (AtoL(list.codes[i]) == static_cast<long>(value)) return list.texts[i];
        return list.texts[0];
    }
    if (row == GEN_ROW_DEVICE_NUMBER) return value >= 1 && value <= 62 ? std::to_string(value) : "0";
    if (row == GEN_ROW_RS485_BAUD || row == GEN_ROW_RS232_BAUD) {
        std::snprintf(text, sizeof text, "%d", static_cast<int>(value));
        return text;
    }
    if (IsOnOffRow(row)) return value == 0 ? "OFF" : "ON";
    if (row == GEN_ROW_HYSTERESIS) return ShortDecimal(static_cast<long long>(value) * 5, 2);
    return std::string();
}
