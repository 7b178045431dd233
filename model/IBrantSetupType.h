#pragma once

#include "model/BrTypes.h"
#include "model/CDataSheet.h"

#include <atomic>
#include <string>

class CArchive;

// What the unit, the views and the transfer driver see of a setup type (General, Physical Inputs,
// Logical Inputs, Alarms). Rows are section indices and columns cell indices of the data sheet.
class IBrantSetupType {
public:
    IBrantSetupType() = default;
    IBrantSetupType(const IBrantSetupType&) = delete;
    IBrantSetupType& operator=(const IBrantSetupType&) = delete;
    virtual ~IBrantSetupType() = default;

    // Nonzero when the edit was accepted (possibly corrected); 0 when refused with an error recorded.
    virtual int ValidateData(int row, int col, std::string text) = 0;
    // Stores a value without any check or notice.
    virtual void SetParm(int row, int col, std::string text) = 0;
    virtual int GetPopupProperties(int row, int col, CBrChnData** cells, int& count);
    virtual void UpdateProperties(int row, int col, CBrChnData** cells, int& count);
    // Deletes the data sheet and builds the default one.
    virtual void Initialize() = 0;
    virtual void DoFileReadWrite(CArchive& archive, unsigned version);
    virtual void ResetChannel(int row) = 0;
    // Grid rows the sheet view shows, the title row included.
    virtual int GetNumChannels() = 0;
    virtual int GetLastError() = 0;
    // What cell (row, col) takes in the sheets' present state, as the second line of a refusal gives it
    // after "Allowed: ": a range ("1 to 62", "0.3 to 918000 s") or the items the sheet's rule would take
    // there now. Empty for free text. The base gives a list cell's items.
    virtual std::string GetAllowedText(int row, int col);

    // Tells this setup type that row `row` (column `col`, or -1 for the whole row) of setup type `source`
    // has changed; `text` is the new value or a keyword the two setup types agree on.
    void UpdateModify(int source, int row, int col, std::string text);

    // The notices that one edit sends, and those they cause in turn, form one cascade. An edit that sends
    // notices from several places holds a cascade open for its whole length; notices sent meanwhile only
    // join it. When the outermost one closes after a notice was sent, every setup type hears
    // OnNoticesSettled once, with every sheet in its final state. A cascade belongs to the thread that runs
    // it: the window thread while editing, the transfer worker during a download.
    class CNoticeCascade {
    public:
        CNoticeCascade();
        ~CNoticeCascade();
        CNoticeCascade(const CNoticeCascade&) = delete;
        CNoticeCascade& operator=(const CNoticeCascade&) = delete;
    };

    int GetTransState() const { return m_nTransState.load(); }
    const std::string& GetTitle() const { return m_strTitle; }
    SETUP_TYPE GetSetupType() const { return m_nSetupType; }
    CDataSheet* GetDataSheet() const { return m_pDataSheet; }
    int GetNumColumns() const { return m_nNumColumns; }

    // The four setup types by SETUP_TYPE, filled by the unit; how one setup type reaches another.
    static IBrantSetupType* m_pBrantSetupTypes[SETUP_TYPE_COUNT];

protected:
    virtual void OnUpdateModify(int source, int row, int col, std::string text);
    // A cascade of change notices has ended (see CNoticeCascade); the default does nothing.
    virtual void OnNoticesSettled();
    // A new title cell: text, read-only, default colour; owned by the caller.
    CBrChnData* CreateLabelCell(const std::string& title);

    // -1 idle, 0 uploading, 1 downloading; written by the transfer worker, polled by the window.
    std::atomic<int> m_nTransState{-1};
    std::string m_strTitle;
    SETUP_TYPE m_nSetupType = SETUP_GENERAL;
    CDataSheet* m_pDataSheet = nullptr;
    int m_nNumColumns = 0; // columns covered by printing

private:
    virtual void CreateDefDataSheet() = 0;
};
