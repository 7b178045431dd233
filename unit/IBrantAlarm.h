#pragma once

#include "model/BrTypes.h"

#include <string>

class CArchive;
class CDataSheet;
class IBrantSetupType;

// The configuration unit as the document, the views and the main frame use it.
class IBrantAlarm {
public:
    virtual ~IBrantAlarm() = default;
    // Rebuilds every setup type's default sheet; returns 1.
    virtual int Initialize() = 0;
    virtual int GetNumTypeSetup(SETUP_TYPE* types, std::string* titles, unsigned& count) = 0;
    virtual int GetBrSetups(IBrantSetupType** setups, int* count) = 0;
    // A new holder sharing the setup type's sections (the caller deletes the holder and its array only).
    virtual int GetDataSheet(SETUP_TYPE type, CDataSheet** sheet) = 0;
    virtual int Serialize(CArchive& archive) = 0;
    virtual int CommSetup() = 0;
    virtual int UploadData() = 0;
    virtual int DownloadData() = 0;
    virtual unsigned long GetTotalTransBytes(int direction) = 0;
    virtual unsigned long GetCurSendedNumBytes() = 0;
    virtual int IsTransEnd() = 0;
    virtual std::string GetTransTitle() = 0;
};
