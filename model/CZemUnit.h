#pragma once

#include "model/IBrantAlarm.h"

#include <array>
#include <memory>
#include <string>

class CBrantSetupType;
class CComSetupDialog;

// The whole configuration of one annunciator: the four setup types in unit order and the COM port
// through which the unit is reached.
class CZemUnit : public IBrantAlarm {
public:
    CZemUnit();
    ~CZemUnit() override;
    CZemUnit(const CZemUnit&) = delete;
    CZemUnit& operator=(const CZemUnit&) = delete;

    int Initialize() override;
    int GetNumTypeSetup(SETUP_TYPE* types, std::string* titles, unsigned& count) override;
    int GetBrSetups(IBrantSetupType** setups, int* count) override;
    int GetDataSheet(SETUP_TYPE type, CDataSheet** sheet) override;
    // Reads or writes the whole configuration; a failed read raises CArchiveException(badSchema) after
    // resetting the setup type it was reading.
    int Serialize(CArchive& archive) override;
    int CommSetup() override;
    int UploadData() override;
    int DownloadData() override;
    unsigned long GetTotalTransBytes(int direction) override;
    unsigned long GetCurSendedNumBytes() override;
    int IsTransEnd() override;
    std::string GetTransTitle() override;

    // "General", "Physical Input", "Logical Input", "Alarm"; empty outside 0..3.
    std::string GetTitle(int index) const;
    CBrantSetupType* GetSetupType(int index) const;
    CComSetupDialog* GetComSetup() const { return m_pComSetup; }
    // The version number of the last document read.
    unsigned GetReadVersion() const { return m_nReadVersion; }

    static constexpr unsigned FILE_VERSION = 3;

private:
    std::array<CBrantSetupType*, 4> m_pSetupTypes{};
    CComSetupDialog* m_pComSetup = nullptr;
    int m_nDirection = 0;
    int m_bTransEnded = 0;
    int m_bPortReady = 0;
    unsigned m_nReadVersion = FILE_VERSION;
};
