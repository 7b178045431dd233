// The Alarm sheet: its shape, default cells, flag groups and the property popup behind the Flags column.
#include "sheets/alarms/CAlarm.h"

#include "model/IPrompt.h"
#include "model/Messages.h"

#include <cstdio>

namespace {
constexpr unsigned long CLR_MIRROR = 0xD3D3D3UL; // light grey: copied from the input, never edited here
constexpr const char* FLAGS_NONE = "...";
} // namespace

CAlarm::CAlarm() {
    m_nSetupType = SETUP_ALARM;
}

CAlarm::~CAlarm() {
    FreeDataSheet();
    for (auto& group : m_pAlarmFlags)
        group.reset();
}

void CAlarm::Initialize() {
    for (auto& group : m_pAlarmFlags)
        group.reset();
    FreeDataSheet();
    m_strTitle = "Alarm";
    m_nSetupType = SETUP_ALARM;
    m_nNumColumns = 10;
    m_bBlockWarned = 0;
    m_bDynRefsPending = 0;
    m_setPointsToCheck.reset();
    CreateDefDataSheet();
}

int CAlarm::GetNumChannels() {
    return ALARM_ROWS;
}

void CAlarm::CreateDefDataSheet() {
    CBrChnData flagTemplate(DATA_TYPE_INT, 1, CTRL_STYLE_LIST, CLR_DEFAULT);
    flagTemplate.AddData("OFF;ON");

    PrepareDataSheet(ALARM_ROWS);
    CSectionArray& sections = *m_pDataSheet->m_pSections;
    for (int s = 0; s < ALARM_ROWS; ++s) {
        auto* section = new CSection(ALARM_CELLS, nullptr);
        for (int c = 0; c < ALARM_CELLS; ++c) {
            CBrChnData* cell = nullptr;
            if (s == 0) {
                cell = CreateLabelCell(g_AlarmLabels[c]);
            } else if (c < ALARM_EDIT_CELLS) {
                cell = CreateDefaultChn(s, c);
            } else {
                cell = new CBrChnData(DATA_TYPE_TEXT, 0, CTRL_STYLE_PLAIN, CLR_DEFAULT);
                cell->AddData("");
                cell->m_clrBk = CLR_MIRROR;
            }
            cell->SetSelText(cell->GetData().front());
            (*section)[static_cast<std::size_t>(c)] = cell;
        }
        sections[static_cast<std::size_t>(s)] = section;

        if (s < ALARM_COUNT) {
            auto group = std::make_unique<CFlagGroup>();
            for (const char* name : g_flags) {
                flagTemplate.SetPropName(name);
                group->push_back(std::make_unique<CBrChnData>(flagTemplate));
            }
            m_pAlarmFlags[static_cast<std::size_t>(s)] = std::move(group);
        }
    }
}

CBrChnData* CAlarm::CreateDefaultChn(int section, int cell) {
    if (cell == 0) {
        char title[32];
        std::snprintf(title, sizeof title, "%d%s", section, g_AlarmInp[section - 1]);
        return CreateLabelCell(title);
    }
    auto* data = new CBrChnData(DATA_TYPE_TEXT, 1, CTRL_STYLE_PLAIN, CLR_DEFAULT);
    data->AddProp(g_AlDefault[cell - 1]);
    if (cell == ALM_COL_TEXT) data->m_nMaxTextLen = ALARM_TEXT_LEN;
    return data;
}

CAlarm::CFlagGroup* CAlarm::FlagGroup(int row) {
    if (row < 1 || row > ALARM_COUNT) return nullptr;
    return m_pAlarmFlags[static_cast<std::size_t>(row - 1)].get();
}

const CAlarm::CFlagGroup* CAlarm::GetFlagGroup(int row) const {
    if (row < 1 || row > ALARM_COUNT) return nullptr;
    return m_pAlarmFlags[static_cast<std::size_t>(row - 1)].get();
}

std::string CAlarm::GetValue(int row, int col) const {
    const CBrChnData* cell = GetCell(row, col);
    return cell ? cell->GetDataAsString() : std::string();
}

int CAlarm::SelectItem(CBrChnData* cell, const std::string& text) {
    int index = -1;
    if (!cell || !cell->IsItemExist(text, index)) return -1;
    cell->m_nSel = index;
    return index;
}

void CAlarm::SetParm(int row, int col, std::string text) {
    if (CBrChnData* cell = GetCell(row, col)) cell->SetSelText(std::move(text));
}

BOOL CAlarm::IsChannelActive(int row) const {
    if (row < 1 || row > ALARM_COUNT) return 0;
    const CBrChnData* cell = GetCell(row, ALM_COL_INPREF);
    return cell && cell->GetDataAsString() != "OFF";
}

void CAlarm::ResetChannel(int row) {
    if (row < 1 || row > ALARM_COUNT) return;
    for (int col : {ALM_COL_INPREF, ALM_COL_DYNREF, ALM_COL_SIGN, ALM_COL_LED, ALM_COL_OUTPUT})
        if (CBrChnData* cell = GetCell(row, col); cell && !cell->GetData().empty()) cell->m_nSel = 0;
    static const struct {
        int col;
        const char* text;
    } texts[] = {
        {ALM_COL_SETPOINT, "0"}, {ALM_COL_TEXT, ""}, {ALM_COL_DELAY, "0.3"}, {ALM_COL_FLAGS, FLAGS_NONE}};
    for (const auto& entry : texts)
        if (CBrChnData* cell = GetCell(row, entry.col)) cell->SetText(entry.text);
    for (int col = ALM_COL_MIRROR; col < ALARM_CELLS; ++col)
        if (CBrChnData* cell = GetCell(row, col)) cell->SetText("");
    if (CFlagGroup* group = FlagGroup(row))
        for (auto& flag : *group)
            flag->SetSelText("OFF");
}

// The letters are those of the flags' places (B, C, H), whatever names a document gave the flag cells, so
// that the text always reads back as the same flags.
std::string CAlarm::GetFlagsText(int row) const {
    std::string summary;
    if (const CFlagGroup* group = GetFlagGroup(row))
        for (std::size_t i = 0; i < group->size() && i < ALARM_FLAG_COUNT; ++i)
            if ((*group)[i]->GetDataAsString() == "ON") summary += g_flags[i][0];
    return summary.empty() ? FLAGS_NONE : summary;
}

int CAlarm::GetPopupProperties(int row, int, CBrChnData** cells, int& count) {
    if (!IsChannelActive(row)) {
        Error(row, IDS_ALARM_DISABLED, m_nTransState != 1);
        return 0;
    }
    CFlagGroup* group = FlagGroup(row);
    if (!group || !cells || count < 0) return 0;
    for (std::size_t i = 0; i < group->size(); ++i) {
        CBrChnData* copy = new CBrChnData(*(*group)[i]);
        if (i == 0) {
            copy->m_bEditable = 1;
            (*group)[i]->m_bEditable = 1;
        }
        cells[count++] = copy;
    }
    return 1;
}

void CAlarm::UpdateProperties(int row, int, CBrChnData** cells, int& count) {
    if (!IsChannelActive(row)) {
        Error(row, IDS_ALARM_DISABLED, m_nTransState != 1);
        return;
    }
    CFlagGroup* group = FlagGroup(row);
    if (!group || !cells) return;
    const CBrChnData* block = GetCellOf(SETUP_GENERAL, GENERAL_BLOCK_ROW, 1);
    const bool blockModeOff = block && block->GetDataAsString() == "OFF";
    // Only as many properties as the group holds are taken back; a longer popup list is not ours.
    const int taken = count < static_cast<int>(group->size()) ? count : static_cast<int>(group->size());
    for (int i = 0; i < taken; ++i) {
        const CBrChnData* edited = cells[i];
        if (!edited) continue;
        CBrChnData& stored = *(*group)[static_cast<std::size_t>(i)];
        stored.SetPropName(edited->GetName());
        stored.Copy(*edited);
        if (i == 0 && stored.GetDataAsString() == "ON" && blockModeOff)
            GetPrompt().ShowMessage(LoadMessage(IDS_BLOCK_DISABLED), IPrompt::Warning);
    }
    // The summary always lands in the Flags column, whatever cell the caller names.
    if (CBrChnData* flags = GetCell(row, ALM_COL_FLAGS)) flags->SetText(GetFlagsText(row));
}
