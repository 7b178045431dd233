// Checks of every alarm edit, and how the Alarm sheet follows the input sheets and the General "Block" row.
#include "sheets/alarms/CAlarm.h"

#include "model/AllowedText.h"
#include "model/CanonicalText.h"
#include "model/ChannelNames.h"
#include "model/IPrompt.h"
#include "model/Messages.h"
#include "model/NumberText.h"
#include "sheets/logical/CLogicalInput.h"
#include "sheets/physical/CPhysicalInput.h"

#include <algorithm>
#include <array>

namespace {
const char* const g_strBlockWarning =
    "Warning: Block flag is detected. To enable this, please enable block flag in General Pane";
const std::string g_strPlusMinus = "\xB1";
const char* const FLAGS_TEXT_NONE = "...";

bool IsDigitsOnly(const std::string& text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}
} // namespace

std::string CAlarm::GetAllowedText(int row, int col) {
    if (row < 1 || row > ALARM_COUNT) return CBrantSetupType::GetAllowedText(row, col);
    // A switched-off alarm takes nothing but an input to watch.
    if (!IsChannelActive(row)) return col == ALM_COL_INPREF ? CBrantSetupType::GetAllowedText(row, col) : "";
    switch (col) {
    case ALM_COL_SETPOINT: {
        // The LCD range of the alarm's input, as its mirror columns show it.
        const std::string low = GetValue(row, ALM_COL_MIRROR + 3);
        const std::string high = GetValue(row, ALM_COL_MIRROR + 5);
        return low.empty() || high.empty() ? std::string() : low + " to " + high;
    }
    case ALM_COL_DELAY:
        return "0.3 to 918000 s";
    case ALM_COL_DYNREF: {
        // A logical input whose seven parameters are those of the alarm's input.
        const CBrChnData* cell = GetCell(row, col);
        if (!cell) return {};
        std::vector<std::string> taken;
        for (const std::string& item : cell->GetData()) {
            const int input = item == "OFF" ? 0 : GetLogChnIndex(item);
            bool equal = input >= 0;
            for (int i = 0; i < ALARM_MIRROR_COUNT && equal && input > 0; ++i) {
                const CBrChnData* source = GetCellOf(SETUP_LOGICAL_INPUT, input, LOGINP_FIRST_PARM_COL + i);
                equal = source && source->GetDataAsString() == GetValue(row, ALM_COL_MIRROR + i);
            }
            if (equal) taken.push_back(item);
        }
        return AllowedListText(taken);
    }
    default:
        return CBrantSetupType::GetAllowedText(row, col);
    }
}

int CAlarm::ValidateData(int row, int col, std::string text) {
    return DoValidateData(row, col, std::move(text), 1);
}

namespace {
// The flags a Flags text names: the letters B, C and H in any order and letter case, "..." or the empty text
// for none; false for any other character.
bool FlagsFromLetters(const std::string& text, std::array<bool, ALARM_FLAG_COUNT>& on) {
    if (text == FLAGS_TEXT_NONE) return true;
    for (char c : text) {
        const char upper = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
        int flag = 0;
        while (flag < ALARM_FLAG_COUNT && g_flags[flag][0] != upper)
            ++flag;
        if (flag == ALARM_FLAG_COUNT) return false;
        on[static_cast<std::size_t>(flag)] = true;
    }
    return true;
}
} // namespace

std::string CAlarm::CanonicalText(int row, int col, const std::string& text) const {
    const CBrChnData* cell = row >= 1 && row <= ALARM_COUNT ? GetCell(row, col) : nullptr;
    if (!cell) return text;
    switch (col) {
    case ALM_COL_INPREF:
    case ALM_COL_DYNREF:
    case ALM_COL_SIGN:
    case ALM_COL_LED:
    case ALM_COL_OUTPUT:
        return ListSpelling(cell->GetData(), text);
    case ALM_COL_SETPOINT:
        return CanonicalNumber(text);
    case ALM_COL_TEXT:
        return WithoutTrailingBlanks(text);
    case ALM_COL_DELAY:
        return CanonicalDelay(text);
    case ALM_COL_FLAGS: { // the letters of the flags that are on, in the flags' order
        std::array<bool, ALARM_FLAG_COUNT> on{};
        if (!FlagsFromLetters(text, on)) return text;
        std::string letters;
        for (int flag = 0; flag < ALARM_FLAG_COUNT; ++flag)
            if (on[static_cast<std::size_t>(flag)]) letters += g_flags[flag][0];
        return letters.empty() ? FLAGS_TEXT_NONE : letters;
    }
    default:
        return col >= ALM_COL_MIRROR ? CanonicalInputParameter(col - ALM_COL_MIRROR, text) : text;
    }
}

int CAlarm::DoValidateData(int row, int col, std::string text, int report) {
    if (row < 1 || row > ALARM_COUNT || !GetCell(row, 0)) {
        Error(row, IDS_INVALID_SELECTION, 0);
        return 0;
    }
    text = CanonicalText(row, col, text);
    UINT code = 0;
    if (col == ALM_COL_INPREF) {
        code = static_cast<UINT>(ValidateInputReference(row, std::move(text)));
    } else if (col >= ALM_COL_DYNREF && col <= ALM_COL_FLAGS && !IsChannelActive(row)) {
        code = IDS_ALARM_DISABLED;
    } else {
        switch (col) {
        case ALM_COL_DYNREF:
            code = static_cast<UINT>(ValidateDynRef(row, text));
            break;
        case ALM_COL_SIGN:
            code = static_cast<UINT>(ValidateSign(row, text));
            break;
        case ALM_COL_SETPOINT:
            // Only a number the unit holds as typed is taken: a fourth decimal or a magnitude past 16 bits
            // would reach it as another number.
            code = Check3Bytes(text);
            if (!code && !CheckSetPoint(row, col, text) && report) code = IDS_OUT_OF_RANGE_NEAREST;
            break;
        case ALM_COL_TEXT:
            // The display shows ten characters and pads them with blanks.
            if (HasControlCharacter(text))
                code = IDS_CONTROL_CHARACTER;
            else
                GetCell(row, col)->SetText(WithoutTrailingBlanks(text.substr(0, ALARM_TEXT_LEN)));
            break;
        case ALM_COL_DELAY: {
            DecimalNumber number;
            const double seconds = AtoF(text);
            if (!ParseDecimal(text, number) || !(seconds >= ALARM_MIN_DELAY && seconds <= ALARM_MAX_DELAY)) {
                code = IDS_DELAY_OUT_OF_RANGE;
                break;
            }
            // The unit counts a delay in one unit of 0.01 s to 1 h: a delay it cannot hold takes the nearest
            // one it can, and the sheet shows that one. A delay it holds is canonical already.
            int count = 0;
            BYTE factor = 0;
            EncodeDelay(text, count, factor);
            std::string held;
            DecodeDelay(count, factor, held);
            GetCell(row, col)->SetText(held);
            if (held != text) code = IDS_DELAY_NEAREST;
            break;
        }
        case ALM_COL_LED:
            if (!VerifyValid(row, col, text)) code = IDS_INVALID_LED;
            break;
        case ALM_COL_OUTPUT:
            if (!VerifyValid(row, col, text)) code = IDS_INVALID_OUTPUT;
            break;
        case ALM_COL_FLAGS: // typed or pasted letters; the popup sets the flags one by one
            code = static_cast<UINT>(ApplyFlagsText(row, text));
            break;
        default: // labels and mirrors are never edited
            break;
        }
    }
    Error(row, code, 0);
    return code == 0;
}

// Column 1. Returns the message id, 0 when the reference was taken.
int CAlarm::ValidateInputReference(int row, std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    // Two digits stand for the physical input of that module and position: 23 is "IN 23".
    if (IsDigitsOnly(text)) {
        for (const char* name : g_PhInpChn) {
            const std::string candidate(name);
            if (candidate.size() >= 2 && candidate.compare(candidate.size() - 2, 2, text) == 0) {
                text = candidate;
                break;
            }
        }
    }
    const char kind = text.empty() ? ' ' : text.front();

    std::string name;
    int input = -1;
    if (kind == 'I') {
        input = GetPhChnIndex(text);
        if (input < 1) return IDS_INVALID_SELECTION;
        if (!IsPhysicalInputActive(input)) return IDS_INPUT_NOT_ACTIVE;
        name = text;
    } else if (kind == 'L') {
        input = GetLogChnIndex(text);
        // Only the short name ("LOG3") or the full row title ("LOG3 (1C)") names a logical input; the
        // four-character match alone would read "LOG10" as LOG1.
        const bool known = input >= 1 && (text == GetLogChnName(input) || text == g_LogInpChn[input]);
        if (!known || !IsLogicalInputActive(input)) return IDS_LOGINP_NOT_ACTIVE;
        name = GetLogChnName(input);
    } else {
        ResetChannel(row);
        return IDS_INVALID_SELECTION;
    }

    // An active input is normally offered already; a list read from a damaged file may lack it, and then
    // it is offered here rather than leaving the mirror columns and the reference out of step.
    CBrChnData* cell = GetCell(row, ALM_COL_INPREF);
    int index = -1;
    if (!cell->IsItemExist(name, index)) cell->Put(name, 1, 1);
    SelectItem(cell, name);
    if (kind == 'I')
        UpdateInpParms(row, input);
    else
        UpdateLogInpParms(row, input);
    // Another input may have another display range: the set point keeps to it, as if typed again.
    CheckSetPoint(row, ALM_COL_SETPOINT, GetValue(row, ALM_COL_SETPOINT));

    if (GetValue(row, ALM_COL_DYNREF) != "OFF" && !VerifyDynRef(row, GetValue(row, ALM_COL_DYNREF), false))
        return IDS_DYNREF_INVALID;
    return 0;
}

// Column 2.
int CAlarm::ValidateDynRef(int row, const std::string& text) {
    CBrChnData* cell = GetCell(row, ALM_COL_DYNREF);
    if (text == "OFF") {
        if (SelectItem(cell, "OFF") < 0) return IDS_INVALID_SELECTION;
        if (GetValue(row, ALM_COL_SIGN) == g_strPlusMinus) SelectItem(GetCell(row, ALM_COL_SIGN), g_Signs[0]);
        return 0;
    }
    // Only an offered logical input can be a dynamic reference.
    int index = -1;
    if (!cell->IsItemExist(text, index)) return IDS_INVALID_SELECTION;
    return VerifyDynRef(row, text, true) ? 0 : static_cast<int>(IDS_LOGINP_PARMS_MISMATCH);
}

// Column 3.
int CAlarm::ValidateSign(int row, const std::string& text) {
    CBrChnData* cell = GetCell(row, ALM_COL_SIGN);
    const std::string previous = cell->GetDataAsString();
    if (text != g_strPlusMinus) {
        if (SelectItem(cell, text) < 0) return IDS_INVALID_SELECTION;
        // The unit holds a dynamic reference only with "±": another comparison turns it off. The comparison
        // is taken as chosen, so the message only tells what else changed.
        if (GetValue(row, ALM_COL_DYNREF) != "OFF") {
            SelectItem(GetCell(row, ALM_COL_DYNREF), "OFF");
            if (m_nTransState != 1)
                GetPrompt().ShowMessage(LoadMessage(IDS_DYNREF_NEEDS_PLUSMINUS), IPrompt::Warning);
        }
        return 0;
    }

    const std::string dynRef = GetValue(row, ALM_COL_DYNREF);
    if (dynRef == "OFF") {
        SelectItem(cell, previous);
        return IDS_INVALID_SELECTION;
    }
    if (VerifyDynRef(row, dynRef, true) && cell->GetDataAsString() == g_strPlusMinus) return 0;
    // The dynamic reference did not hold (it is off now): "±" is not taken, and an earlier "±" gives way.
    if (previous != g_strPlusMinus) SelectItem(cell, previous);
    return IDS_DYNREF_NOT_ACTIVE;
}

// The Flags text names exactly the flags that are on: the letters B, C and H in any order and letter case,
// "..." or the empty text for none. Any other character refuses the text and leaves the flags as they were.
int CAlarm::ApplyFlagsText(int row, const std::string& text) {
    std::array<bool, ALARM_FLAG_COUNT> on{};
    if (!FlagsFromLetters(text, on)) return IDS_FLAGS_LETTERS;
    CFlagGroup* group = FlagGroup(row);
    if (!group) return 0;
    bool blockTurnedOn = false;
    for (std::size_t i = 0; i < group->size() && i < ALARM_FLAG_COUNT; ++i) {
        const char* value = on[i] ? "ON" : "OFF";
        if ((*group)[i]->GetDataAsString() == value) continue;
        (*group)[i]->SetSelText(value);
        blockTurnedOn = blockTurnedOn || (i == 0 && on[i]);
    }
    // As in the popup: Block is taken, with a word that it has no effect while the General block is off.
    const CBrChnData* block = GetCellOf(SETUP_GENERAL, GENERAL_BLOCK_ROW, 1);
    if (blockTurnedOn && block && block->GetDataAsString() == "OFF" && m_nTransState != 1)
        GetPrompt().ShowMessage(LoadMessage(IDS_BLOCK_DISABLED), IPrompt::Warning);
    if (CBrChnData* flags = GetCell(row, ALM_COL_FLAGS)) flags->SetText(GetFlagsText(row));
    return 0;
}

int CAlarm::VerifyValid(int row, int col, const std::string& text) {
    if (!IsChannelActive(row)) return 0;
    return SelectItem(GetCell(row, col), text) >= 0;
}

// The set point is given in the display units of the input: it is kept within the input's LCD range, and
// an entry outside takes the nearer limit as the input's sheet writes it.
int CAlarm::CheckSetPoint(int row, int, const std::string& text) {
    const std::string reference = GetValue(row, ALM_COL_INPREF);
    const bool physical = !reference.empty() && reference.front() == 'I';
    const SETUP_TYPE sheet = physical ? SETUP_PHYSICAL_INPUT : SETUP_LOGICAL_INPUT;
    const int input = physical ? GetPhChnIndex(reference) : GetLogChnIndex(reference);
    if (input < 1) return 0;
    const CBrChnData* lowCell = GetCellOf(sheet, input, physical ? PHINP_LCD_LO_COL : LOGINP_LCD_LO_COL);
    const CBrChnData* upCell = GetCellOf(sheet, input, physical ? PHINP_LCD_UP_COL : LOGINP_LCD_UP_COL);
    if (!lowCell || !upCell) return 0;

    // Compared in double precision so that a value typed exactly as a limit (0.1) is inside; a display
    // range may run downward (LCDLo above LCDUp), so the limits are ordered first.
    double low = AtoF(lowCell->GetDataAsString());
    double up = AtoF(upCell->GetDataAsString());
    std::string lowText = lowCell->GetDataAsString();
    std::string upText = upCell->GetDataAsString();
    if (up < low) {
        std::swap(low, up);
        std::swap(lowText, upText);
    }
    // A limit from a document written before limits were checked may be a text the unit cannot hold: the
    // set point then takes the number the unit will hold for that limit.
    const auto held = [](const std::string& limit) {
        if (!Check3Bytes(limit)) return limit;
        BYTE bytes[3] = {};
        Encode3Bytes(limit, bytes);
        return Decode3Bytes(bytes);
    };
    const double value = AtoF(text);
    std::string stored = text;
    int result = 1;
    if (value < low) {
        stored = held(lowText);
        result = 0;
    } else if (value > up) {
        stored = held(upText);
        result = 0;
    }
    if (CBrChnData* cell = GetCell(row, ALM_COL_SETPOINT)) cell->SetText(stored);
    return result;
}

// A dynamic reference must be a logical input whose seven parameters are exactly the alarm's mirror columns.
// Choosing one (`choose`) switches the comparison to "±"; a re-check keeps the comparison the user chose,
// except that "±" gives way to "<" when the reference is lost.
int CAlarm::VerifyDynRef(int row, std::string dynRef, bool choose) {
    if (!IsChannelActive(row)) return 1;
    if (dynRef.empty()) dynRef = "OFF";
    CBrChnData* dynCell = GetCell(row, ALM_COL_DYNREF);
    CBrChnData* signCell = GetCell(row, ALM_COL_SIGN);
    const auto switchOff = [&] {
        SelectItem(dynCell, "OFF");
        if (signCell && signCell->GetDataAsString() == g_strPlusMinus) SelectItem(signCell, g_Signs[0]);
    };

    if (dynRef.front() == 'L') {
        const int input = GetLogChnIndex(dynRef);
        if (input < 0 || !GetCellOf(SETUP_LOGICAL_INPUT, input, LOGINP_FIRST_PARM_COL)) return 1;
        bool equal = true;
        for (int i = 0; i < ALARM_MIRROR_COUNT && equal; ++i) {
            const CBrChnData* cell = GetCellOf(SETUP_LOGICAL_INPUT, input, LOGINP_FIRST_PARM_COL + i);
            equal = cell && cell->GetDataAsString() == GetValue(row, ALM_COL_MIRROR + i);
        }
        if (equal && SelectItem(dynCell, dynRef) >= 0) {
            if (choose) SelectItem(signCell, g_strPlusMinus);
            return 1;
        }
        switchOff();
        return 0;
    }
    switchOff();
    return dynRef == "OFF";
}

int CAlarm::UpdateInpParms(int row, int input) {
    for (int i = 0; i < ALARM_MIRROR_COUNT; ++i) {
        CBrChnData* mirror = GetCell(row, ALM_COL_MIRROR + i);
        const CBrChnData* source = GetCellOf(SETUP_PHYSICAL_INPUT, input, PHINP_FIRST_PARM_COL + i);
        if (mirror && source) mirror->SetText(source->GetDataAsString());
    }
    return 1;
}

int CAlarm::UpdateLogInpParms(int row, int input) {
    for (int i = 0; i < ALARM_MIRROR_COUNT; ++i) {
        CBrChnData* mirror = GetCell(row, ALM_COL_MIRROR + i);
        const CBrChnData* source = GetCellOf(SETUP_LOGICAL_INPUT, input, LOGINP_FIRST_PARM_COL + i);
        if (mirror && source) mirror->SetText(source->GetDataAsString());
    }
    return 1;
}

// --- Notices from the other sheets.

void CAlarm::OnUpdateModify(int source, int row, int, std::string) {
    if (!m_pDataSheet) return;
    if (source == SETUP_PHYSICAL_INPUT)
        OnPhysicalInputChanged(row);
    else if (source == SETUP_LOGICAL_INPUT)
        OnLogicalInputChanged(row);
    else if (source == SETUP_GENERAL && row == GENERAL_BLOCK_ROW)
        OnBlockModeChanged();
}

// An active physical input is offered to every alarm and its parameters are copied to the alarms that use
// it; an inactive one is withdrawn and the alarms that used it are reset. Dynamic references wait until the
// notices have settled.
void CAlarm::OnPhysicalInputChanged(int input) {
    if (input < 1 || input >= CHANNEL_NAME_COUNT) return;
    const std::string name = g_PhInpChn[input];
    const bool active = IsPhysicalInputActive(input);
    for (int alarm = 1; alarm <= ALARM_COUNT; ++alarm) {
        CBrChnData* refCell = GetCell(alarm, ALM_COL_INPREF);
        if (!refCell) continue;
        int index = -1;
        const bool offered = refCell->IsItemExist(name, index);
        const bool used = refCell->GetDataAsString() == name;
        if (active) {
            if (!offered)
                refCell->Put(name, 1, 1);
            else if (used)
                UpdateInpParms(alarm, input);
            if (used) m_setPointsToCheck.set(static_cast<std::size_t>(alarm));
        } else if (offered) {
            if (used) ResetChannel(alarm);
            refCell->RemoveItem(name);
        }
    }
    m_bDynRefsPending = 1;
}

// The same for a logical input, which is also offered as a dynamic reference.
void CAlarm::OnLogicalInputChanged(int input) {
    const CDataSheet* logical = m_pBrantSetupTypes[SETUP_LOGICAL_INPUT]
                                    ? m_pBrantSetupTypes[SETUP_LOGICAL_INPUT]->GetDataSheet()
                                    : nullptr;
    if (!logical || input < 1 || input >= logical->GetNumSections() || input >= CHANNEL_NAME_COUNT) return;
    const std::string name = GetLogChnName(input);
    const bool active = IsLogicalInputActive(input);
    for (int alarm = 1; alarm <= ALARM_COUNT; ++alarm) {
        CBrChnData* refCell = GetCell(alarm, ALM_COL_INPREF);
        CBrChnData* dynCell = GetCell(alarm, ALM_COL_DYNREF);
        if (!refCell || !dynCell) continue;
        int index = -1;
        const bool offered = refCell->IsItemExist(name, index);
        const bool used = refCell->GetDataAsString() == name;
        if (active) {
            if (!offered)
                refCell->Put(name, 1, 1);
            else if (used)
                UpdateLogInpParms(alarm, input);
            if (used) m_setPointsToCheck.set(static_cast<std::size_t>(alarm));
            if (input <= 8 && !dynCell->IsItemExist(name, index)) dynCell->Put(name, 1, 1);
        } else {
            // Each alarm is handled on its own, so that a list that lacks the name (read from an older or
            // damaged file) does not keep the later alarms on an inactive input.
            if (offered && used) ResetChannel(alarm);
            refCell->RemoveItem(name);
            dynCell->RemoveItem(name);
        }
    }
    m_bDynRefsPending = 1;
}

// Dynamic references are checked once the notices of an edit have all arrived: while they arrive, one
// logical input may still hold the old parameters while another, or the alarm's own input, has the new ones.
void CAlarm::OnNoticesSettled() {
    // A display range that changed takes the set points of the alarms watching the input along, as typing
    // the set point again would; the unit would otherwise correct them at the next transfer.
    for (int alarm = 1; alarm <= ALARM_COUNT; ++alarm)
        if (m_setPointsToCheck.test(static_cast<std::size_t>(alarm)) && IsChannelActive(alarm))
            CheckSetPoint(alarm, ALM_COL_SETPOINT, GetValue(alarm, ALM_COL_SETPOINT));
    m_setPointsToCheck.reset();
    if (!m_bDynRefsPending) return;
    m_bDynRefsPending = 0;
    for (int alarm = 1; alarm <= ALARM_COUNT; ++alarm)
        VerifyDynRef(alarm, GetValue(alarm, ALM_COL_DYNREF), false);
}

// The General "Block" row: while it is "OFF" no alarm may use its Block flag.
void CAlarm::OnBlockModeChanged() {
    const CBrChnData* block = GetCellOf(SETUP_GENERAL, GENERAL_BLOCK_ROW, 1);
    if (!block) return;
    const bool off = block->GetDataAsString() == "OFF";
    for (int alarm = 1; alarm <= ALARM_COUNT; ++alarm) {
        CFlagGroup* group = FlagGroup(alarm);
        if (!group || group->empty()) continue;
        CBrChnData& blockFlag = *group->front();
        if (!off) {
            blockFlag.m_bEditable = 1;
            continue;
        }
        blockFlag.m_bEditable = 0;
        blockFlag.SetSelText("OFF");
        CBrChnData* flags = GetCell(alarm, ALM_COL_FLAGS);
        if (!flags) continue;
        if (flags->GetDataAsString().find('B') != std::string::npos && !m_bBlockWarned) {
            GetPrompt().ShowMessage(g_strBlockWarning, IPrompt::Warning);
            m_bBlockWarned = 1;
        }
        // The Flags column shows what the unit will get: Block is off now.
        flags->SetText(GetFlagsText(alarm));
    }
}

// --- What the other sheets say about their inputs.

bool CAlarm::IsPhysicalInputActive(int input) {
    const auto* physical = dynamic_cast<const CPhysicalInput*>(m_pBrantSetupTypes[SETUP_PHYSICAL_INPUT]);
    return physical && input >= 1 && physical->IsChannelActive(input);
}

bool CAlarm::IsLogicalInputActive(int input) {
    const auto* logical = dynamic_cast<const CLogicalInput*>(m_pBrantSetupTypes[SETUP_LOGICAL_INPUT]);
    return logical && input >= 1 && logical->GetDataSheet() &&
           input < logical->GetDataSheet()->GetNumSections() && logical->IsOtherParmActive(input, -1);
}
