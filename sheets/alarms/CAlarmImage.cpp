// The Alarm sheet as the unit holds it: one 32-byte block per alarm.
//
//   0      input reference: 0..23 physical input, 24.. logical input (index + 23), 48 "OFF"
//   1..3   set point as a 3-byte number; byte 3 also holds the comparison (bit 5 "<" or "±", bit 6 "±" with a
//          dynamic reference) and the dynamic reference (bits 2..0, logical input index minus 1)
//   4, 5   delay count and time factor code
//   6      LED 0..23, 24 "OFF"          7   output 0..13, 14 "OFF"
//   8      flags: bit 7 Block, bit 6 Control, bit 5 Hysteresis
//   9..18  display text, padded with spaces      19..31  reserved, zero
#include "sheets/alarms/CAlarm.h"

#include "model/CanonicalText.h"
#include "model/ChannelNames.h"
#include "model/NumberText.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {
constexpr BYTE REF_OFF = 48;
constexpr BYTE LED_OFF = 24;
constexpr BYTE OUTPUT_OFF = 14;
constexpr BYTE SETPOINT_BELOW = 0x20; // "<" or "±"
constexpr BYTE SETPOINT_DYNAMIC = 0x40;
constexpr BYTE DYNREF_MASK = 0x07;
constexpr int LOGINP_REF_OFFSET = 23;
constexpr BYTE REF_LAST_LOGICAL = 31; // LOG8; the unit has no logical inputs beyond it

// Units of the time factor codes in seconds and in millionths of a second; a delay is count times the unit.
const double g_timeUnits[8] = {0.01, 0.1, 1.0, 10.0, 60.0, 600.0, 3600.0, 86400.0};
const long long g_unitMicros[8] = {10000LL,    100000LL,    1000000LL,    10000000LL,
                                   60000000LL, 600000000LL, 3600000000LL, 86400000000LL};
// Largest delay each code is chosen for, in seconds: code 3 ends where its count would pass 255, code 4 then
// runs to 6000 s and code 5 to 60000 s. Code 7 (days) is never produced, only read.
const long long g_upToSeconds[7] = {1, 10, 100, 2550, 6000, 60000, 918000};
constexpr int PRODUCED_FACTORS = 7;
constexpr long long MICROS = 1000000;
constexpr long long MAX_COUNT = 255;

// A delay text in millionths of a second, exactly for a plain decimal text. Other texts come only from a
// document written before delays were checked: read as before, a negative or unreadable one as zero.
long long DelayMicros(const std::string& text) {
    DecimalNumber number;
    long long micros = 0;
    if (ParseDecimal(text, number) && ToSteps(number, 6, micros)) return micros;
    const double seconds = AtoF(text);
    if (!(seconds >= 0.0)) return 0;
    if (seconds > ALARM_MAX_DELAY) return static_cast<long long>(ALARM_MAX_DELAY) * MICROS;
    return std::llround(seconds * 1e6);
}

// The delay the unit holds that is nearest to `micros` (on a tie the longer one), as a count and code.
void EncodeDelayMicros(long long micros, int& count, BYTE& factor) {
    const long long longest = static_cast<long long>(ALARM_MAX_DELAY) * MICROS;
    micros = micros < 0 ? 0 : micros > longest ? longest : micros;
    long long held = 0;
    long long bestDistance = -1;
    for (int code = 0; code < PRODUCED_FACTORS; ++code) {
        const long long unit = g_unitMicros[code];
        const long long below = std::min(micros / unit, MAX_COUNT);
        for (long long n : {below, std::min(below + 1, MAX_COUNT)}) {
            const long long distance = std::llabs(n * unit - micros);
            if (bestDistance < 0 || distance < bestDistance ||
                (distance == bestDistance && n * unit > held)) {
                bestDistance = distance;
                held = n * unit;
            }
        }
    }
    // The table's code for that delay when its unit holds it, else the finest code that does.
    int code = 0;
    while (code < PRODUCED_FACTORS - 1 && held > g_upToSeconds[code] * MICROS)
        ++code;
    const auto holds = [held](int c) {
        return held % g_unitMicros[c] == 0 && held / g_unitMicros[c] <= MAX_COUNT;
    };
    if (!holds(code)) {
        code = 0;
        while (!holds(code)) // ends: `held` is a count of one of the codes
            ++code;
    }
    count = static_cast<int>(held / g_unitMicros[code]);
    factor = static_cast<BYTE>(code);
}
} // namespace

double CAlarm::GetTimeFactorUnit(int code) {
    return code >= 0 && code < 8 ? g_timeUnits[code] : 0.0;
}

void CAlarm::EncodeDelay(const std::string& text, int& count, BYTE& factor) {
    EncodeDelayMicros(DelayMicros(text), count, factor);
}

bool CAlarm::DecodeDelay(int count, int code, std::string& text) {
    if (code < 0 || code >= 8 || count < 0) return false;
    // One form for every delay: seconds in the fewest decimals that hold it ("0.3", "2", "2.5").
    text = ShortDecimal(static_cast<long long>(count) * g_unitMicros[code], 6);
    return true;
}

std::string CAlarm::CanonicalDelay(const std::string& text) {
    DecimalNumber number;
    long long typed = 0;
    bool exact = false;
    if (!ParseDecimal(text, number) || !ToSteps(number, 6, typed, &exact) || !exact) return text;
    int count = 0;
    BYTE factor = 0;
    EncodeDelayMicros(typed, count, factor);
    return count * g_unitMicros[factor] == typed ? ShortDecimal(typed, 6) : text;
}

// --- Sheet to block.

void CAlarm::GetAlarmDataBlock(int index) {
    GetAlarmDataBlock(index, m_DataBlock);
}

void CAlarm::GetAlarmDataBlock(int index, BYTE* block) {
    std::memset(block, 0, BLOCK_LEN);
    if (index < 0 || index >= ALARM_COUNT) return;
    const int row = index + 1;
    block[0] = GetInputReference(row);
    GetSetPoint(row, block + 1);
    int count = 0;
    BYTE factor = 0;
    GetTimeFactAndValue(row, count, factor);
    block[4] = static_cast<BYTE>(count & 0xFF);
    block[5] = factor;
    // A value outside the lists (only from a damaged document) goes out as "OFF".
    const std::string led = GetValue(row, ALM_COL_LED);
    const int ledNumber = led == "OFF" ? 0 : AtoI(led);
    block[6] = ledNumber >= 1 && ledNumber <= 24 ? static_cast<BYTE>(ledNumber - 1) : LED_OFF;
    const int output = AtoI(GetValue(row, ALM_COL_OUTPUT));
    block[7] = output >= 1 && output <= 14 ? static_cast<BYTE>(output - 1) : OUTPUT_OFF;
    block[8] = GetFlags(row);
    GetAlarmText(row, block + 9);
}

BYTE CAlarm::GetInputReference(int row) {
    const std::string reference = GetValue(row, ALM_COL_INPREF);
    const char kind = reference.empty() ? ' ' : reference.front();
    if (kind == 'I') {
        const int input = GetPhChnIndex(reference);
        if (input >= 1) return static_cast<BYTE>(input - 1);
    } else if (kind == 'L') {
        const int input = GetLogChnIndex(reference);
        if (input >= 1) return static_cast<BYTE>(input + LOGINP_REF_OFFSET);
    }
    return REF_OFF;
}

void CAlarm::GetSetPoint(int row, BYTE* out) {
    Get3BytesParm(row, out, ALM_COL_SETPOINT);
    const int dynRef = GetLogChnIndex(GetValue(row, ALM_COL_DYNREF)) - 1;
    if (dynRef >= 1 && dynRef <= 7) out[2] = static_cast<BYTE>((out[2] & ~DYNREF_MASK) | dynRef);
    const std::string sign = GetValue(row, ALM_COL_SIGN);
    const char first = sign.empty() ? ' ' : sign.front();
    if (first == '>')
        out[2] &= static_cast<BYTE>(~SETPOINT_BELOW);
    else if (first == '<' || first == '\xB1')
        out[2] |= SETPOINT_BELOW;
    if (dynRef >= 0) {
        if (first == '\xB1')
            out[2] |= SETPOINT_DYNAMIC;
        else
            out[2] &= static_cast<BYTE>(~SETPOINT_DYNAMIC);
    }
}

void CAlarm::GetTimeFactAndValue(int row, int& count, BYTE& factor) {
    EncodeDelay(GetValue(row, ALM_COL_DELAY), count, factor);
}

BYTE CAlarm::GetFlags(int row) {
    BYTE flags = 0;
    if (const CFlagGroup* group = GetFlagGroup(row))
        for (std::size_t i = 0; i < group->size() && i < ALARM_FLAG_COUNT; ++i)
            if ((*group)[i]->GetDataAsString() == "ON") flags |= static_cast<BYTE>(0x80 >> i);
    return flags;
}

void CAlarm::GetAlarmText(int row, BYTE* out) {
    const std::string text = GetValue(row, ALM_COL_TEXT);
    for (std::size_t k = 0; k < ALARM_TEXT_LEN; ++k)
        out[k] = k < text.size() ? static_cast<BYTE>(text[k]) : 0x20;
}

// --- Block to sheet.

void CAlarm::SetAlarmData(int index, const BYTE* data) {
    if (index < 0 || index >= ALARM_COUNT || !data || !m_pDataSheet) return;
    const int row = index + 1;
    BYTE block[BLOCK_LEN];
    std::memcpy(block, data, BLOCK_LEN);

    SetInputReference(row, block[0]);
    SetSetPoint(row, block + 1);
    SetDelay(row, block + 4);
    SetListItem(row, ALM_COL_LED, block[6], LED_OFF, g_LEDs);
    SetListItem(row, ALM_COL_OUTPUT, block[7], OUTPUT_OFF, g_Outputs);
    SetFlags(index, block[8]);
    NoteReceived(row, ALM_COL_FLAGS, GetValue(row, ALM_COL_FLAGS));
    SetAlarmText(row, block + 9);

    // The received values go through the sheet's own checks, silently: an alarm on "OFF" returns to its
    // defaults, the mirror columns are filled, a dynamic reference that does not match is switched off.
    for (int col = ALM_COL_INPREF; col < ALARM_CELLS; ++col)
        DoValidateData(row, col, GetValue(row, col), 0);
}

bool CAlarm::IsOffChannelCell(int row, int col) const {
    return col != ALM_COL_INPREF && !IsChannelActive(row);
}

// Received names are only selected among the offered items: a number that names no input of the unit
// (LOG9 and beyond would read as "LOG1" or "LOG2" when cut to four characters), or an input that is not
// active, leaves the reference as it was ("OFF" after a fresh sheet).
void CAlarm::SetInputReference(int row, BYTE value) {
    std::string name;
    if (value < 24)
        name = g_PhInpChn[value + 1];
    else if (value <= REF_LAST_LOGICAL)
        name = GetLogChnName(value - LOGINP_REF_OFFSET);
    else if (value == REF_OFF)
        name = "OFF";
    NoteReceived(row, ALM_COL_INPREF, name.empty() ? CodeText(value) : name);
    if (!name.empty()) SelectItem(GetCell(row, ALM_COL_INPREF), name);
}

// LED and output: "OFF" at `off`, otherwise item code + 1 of the list.
void CAlarm::SetListItem(int row, int col, BYTE code, BYTE off, const char* list) {
    const std::string text = code == off ? std::string("OFF") : GetStrOfIndex(list, code + 1);
    NoteReceived(row, col, text == " " ? CodeText(code) : text);
    SelectItem(GetCell(row, col), text);
}

void CAlarm::SetSetPoint(int row, BYTE* in) {
    Set3ByteParm(row, in, ALM_COL_SETPOINT);
    std::string sign = (in[2] & SETPOINT_BELOW) ? g_Signs[0] : g_Signs[1];
    if (in[2] & SETPOINT_DYNAMIC) sign = g_Signs[2];
    std::string dynRef = "OFF";
    if ((in[2] & SETPOINT_DYNAMIC) && IsChannelActive(row)) dynRef = GetLogChnName((in[2] & DYNREF_MASK) + 1);
    NoteReceived(row, ALM_COL_SIGN, sign);
    NoteReceived(row, ALM_COL_DYNREF,
                 (in[2] & SETPOINT_DYNAMIC) ? GetLogChnName((in[2] & DYNREF_MASK) + 1) : std::string("OFF"));
    SelectItem(GetCell(row, ALM_COL_SIGN), sign);
    SelectItem(GetCell(row, ALM_COL_DYNREF), dynRef);
}

// A time factor code without a unit leaves the delay as it was.
void CAlarm::SetDelay(int row, const BYTE* in) {
    std::string text;
    if (!DecodeDelay(in[0], in[1], text)) {
        NoteReceived(row, ALM_COL_DELAY, CodeText(in[1]));
        return;
    }
    NoteReceived(row, ALM_COL_DELAY, text);
    if (CBrChnData* cell = GetCell(row, ALM_COL_DELAY)) cell->SetText(text);
}

void CAlarm::SetFlags(int index, BYTE flags) {
    const int row = index + 1;
    CFlagGroup* group = FlagGroup(row);
    if (!group) return;
    for (std::size_t i = 0; i < group->size() && i < ALARM_FLAG_COUNT; ++i)
        (*group)[i]->SetSelText((flags & (0x80 >> i)) ? "ON" : "OFF");
    if (CBrChnData* cell = GetCell(row, ALM_COL_FLAGS)) cell->SetText(GetFlagsText(row));
}

void CAlarm::SetAlarmText(int row, const BYTE* in) {
    std::string text;
    for (int k = 0; k < ALARM_TEXT_LEN && in[k] != 0; ++k)
        text.push_back(static_cast<char>(in[k]));
    text = WithoutTrailingBlanks(std::move(text)); // the unit's padding
    NoteReceived(row, ALM_COL_TEXT, text);
    if (CBrChnData* cell = GetCell(row, ALM_COL_TEXT)) cell->SetText(text);
}
