// The Alarm block loops: one 32-byte block per alarm, blocks 0..47 for rows 1..48.
#include "sheets/alarms/CAlarm.h"

int CAlarm::UploadData(CComSetupDialog* com) {
    return UploadBlocks(MSG_WRITE_ALARM, ALARM_COUNT, com, [this](int block) {
        GetAlarmDataBlock(block);
        return true;
    });
}

int CAlarm::DownloadData(CComSetupDialog* com) {
    return DownloadBlocks(MSG_READ_ALARM, ALARM_COUNT, com,
                          [this](int block, BYTE* data) { ApplyBlock(block, data); });
}

void CAlarm::FillBlock(int block, BYTE* data) {
    GetAlarmDataBlock(block, data);
}

void CAlarm::ApplyBlock(int block, BYTE* data) {
    SetAlarmData(block, data);
}
