// The Alarm sheet's part of the document file: the flag groups of the 48 alarms, then the sheet record.
#include "sheets/alarms/CAlarm.h"

#include "model/CArchive.h"
#include "model/ChannelNames.h"

void CAlarm::DoFileReadWrite(CArchive& archive, unsigned version) {
    if (!archive.IsLoading()) {
        archive.WriteString("Alarm");
        archive.WriteInt32(SETUP_ALARM);
        for (const auto& group : m_pAlarmFlags) {
            archive.WriteInt32(group ? static_cast<std::int32_t>(group->size()) : 0);
            if (!group) continue;
            for (const auto& flag : *group) {
                archive.WriteString(flag->GetName());
                flag->DoFileReadWrite(archive, version);
            }
        }
        CBrantSetupType::FileWrite(archive, version);
        return;
    }

    // Anything a writer may have put before the section is skipped up to the title.
    while (archive.ReadString() != "Alarm") {
    }
    archive.ReadInt32(); // the setup type; the record that follows names it again
    for (auto& group : m_pAlarmFlags) {
        const std::int32_t count = archive.ReadInt32();
        // A group has exactly its three flag cells: any other count is damage, never a size to allocate.
        const std::int32_t cells = group ? static_cast<std::int32_t>(group->size()) : 0;
        if (count < 0 || count > cells)
            throw CArchiveException(CArchiveException::badSchema,
                                    "an alarm flag group has an impossible size");
        for (std::int32_t k = 0; k < count; ++k) {
            CBrChnData& flag = *(*group)[static_cast<std::size_t>(k)];
            flag.SetPropName(archive.ReadString());
            flag.DoFileReadWrite(archive, version);
        }
    }
    CBrantSetupType::FileRead(archive, version);

    // Earlier versions offered logical inputs by their row titles ("LOG1 (1A)"); today's lists say "LOG1".
    for (int row = 1; row <= ALARM_COUNT; ++row)
        for (int col : {ALM_COL_INPREF, ALM_COL_DYNREF})
            if (CBrChnData* cell = GetCell(row, col))
                for (std::string& item : cell->GetData())
                    if (const int input = GetLogChnIndex(item); input > 0) item = GetLogChnName(input);
}
