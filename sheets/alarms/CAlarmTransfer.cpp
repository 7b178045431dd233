// The Alarm block loops: one 32-byte block per alarm, blocks 0..47 for rows 1..48.
#include "sheets/alarms/CAlarm.h"

int CAlarm::UploadData(CComSetupDialog* com) {
    m_nTransState = 0;
    int ok = 1;
    for (int block = 0; block < ALARM_COUNT && ok; ++block) {
        GetAlarmDataBlock(block);
        ok = DoUpload(MSG_WRITE_ALARM, block, com);
    }
    m_nTransState = -1;
    return ok;
}

int CAlarm::DownloadData(CComSetupDialog* com) {
    m_nTransState = 1;
    int ok = 1;
    for (int block = 0; block < ALARM_COUNT && ok; ++block) {
        BYTE* data = DoDownload(MSG_READ_ALARM, block, com);
        ok = data != nullptr;
        if (ok) SetAlarmData(block, data);
    }
    m_nTransState = -1;
    return ok;
}
