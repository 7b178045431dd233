#pragma once

#include "model/CBrantSetupType.h"
#include "sheets/alarms/AlarmTables.h"

#include <array>
#include <bitset>
#include <memory>
#include <string>
#include <vector>

// Setup type 3: the 48 analog alarms. Each alarm watches one physical or logical input (its input
// reference), compares it with a set point ("<", ">", or "±" around a dynamic reference), waits a delay and
// then shows a text, lights an LED, drives an output and obeys three flags kept in a per-alarm flag group.
// The sheet follows the Physical Inputs, Logical Inputs and General sheets through their change notices.
class CAlarm : public CBrantSetupType {
public:
    // The three flag cells of one alarm: Block, Control, Hysteresis.
    using CFlagGroup = std::vector<std::unique_ptr<CBrChnData>>;

    CAlarm();
    ~CAlarm() override;

    int ValidateData(int row, int col, std::string text) override;
    void SetParm(int row, int col, std::string text) override;
    int GetPopupProperties(int row, int col, CBrChnData** cells, int& count) override;
    void UpdateProperties(int row, int col, CBrChnData** cells, int& count) override;
    void Initialize() override;
    void DoFileReadWrite(CArchive& archive, unsigned version) override;
    void ResetChannel(int row) override;
    int GetNumChannels() override;
    int UploadData(CComSetupDialog* com) override;
    int DownloadData(CComSetupDialog* com) override;
    BR_ZEM_MSG GetWriteCode() const override { return MSG_WRITE_ALARM; }
    void FillBlock(int block, BYTE* data) override;
    void ApplyBlock(int block, BYTE* data) override;

    BOOL IsChannelActive(int row) const;
    bool IsOffChannelCell(int row, int col) const override;
    // The set point within its input's LCD range, the delay's range, and of the dynamic references those
    // whose parameters are the alarm input's.
    std::string GetAllowedText(int row, int col) override;
    // 1 and the text selected when the alarm is active and the text is one of the cell's items.
    int VerifyValid(int row, int col, const std::string& text);
    // The flag group of an alarm (1..48), or null.
    const CFlagGroup* GetFlagGroup(int row) const;

    // Device image: one 32-byte block per alarm, block `index` (0..47) for row index+1.
    void GetAlarmDataBlock(int index);
    void GetAlarmDataBlock(int index, BYTE* block);
    // Applies a received block to row index+1 and re-checks every cell without showing messages.
    void SetAlarmData(int index, const BYTE* data);
    const BYTE* GetDataBlock() const { return m_DataBlock; }

    // Delay time factors: the delay is count times the unit of the code (0..7).
    static double GetTimeFactorUnit(int code);
    // The code and count the unit stores for a delay text in seconds: the delay itself when the unit holds it
    // (the table's code for it where that holds it, else the finest that does), otherwise the nearest delay
    // the unit holds. The unit keeps a delay as a count of 0..255 of the code's unit.
    static void EncodeDelay(const std::string& text, int& count, BYTE& factor);
    // The delay text for a count and code; false for a code without a unit.
    static bool DecodeDelay(int count, int code, std::string& text);
    // The delay text as the unit gives it back, when the unit holds that delay exactly; otherwise `text`.
    static std::string CanonicalDelay(const std::string& text);
    std::string CanonicalText(int row, int col, const std::string& text) const override;

protected:
    void OnUpdateModify(int source, int row, int col, std::string text) override;
    void OnNoticesSettled() override;

private:
    void CreateDefDataSheet() override;
    CBrChnData* CreateDefaultChn(int section, int cell);
    CFlagGroup* FlagGroup(int row);

    int DoValidateData(int row, int col, std::string text, int report);
    int ValidateInputReference(int row, std::string text);
    int ValidateDynRef(int row, const std::string& text);
    int ValidateSign(int row, const std::string& text);
    int CheckSetPoint(int row, int col, const std::string& text);
    int ApplyFlagsText(int row, const std::string& text);
    int VerifyDynRef(int row, std::string dynRef, bool choose);
    int UpdateInpParms(int row, int input);
    int UpdateLogInpParms(int row, int input);
    void OnPhysicalInputChanged(int input);
    void OnLogicalInputChanged(int input);
    void OnBlockModeChanged();
    std::string GetFlagsText(int row) const;
    std::string GetValue(int row, int col) const;
    // Selects an existing item of a list cell; never replaces the item of a one-item list.
    static int SelectItem(CBrChnData* cell, const std::string& text);

    static bool IsPhysicalInputActive(int input);
    static bool IsLogicalInputActive(int input);

    BYTE GetInputReference(int row);
    void SetInputReference(int row, BYTE value);
    void GetSetPoint(int row, BYTE* out);
    void SetSetPoint(int row, BYTE* in);
    void GetTimeFactAndValue(int row, int& count, BYTE& factor);
    void SetDelay(int row, const BYTE* in);
    void SetListItem(int row, int col, BYTE code, BYTE off, const char* list);
    BYTE GetFlags(int row);
    void SetFlags(int index, BYTE flags);
    void GetAlarmText(int row, BYTE* out);
    void SetAlarmText(int row, const BYTE* in);

    std::array<std::unique_ptr<CFlagGroup>, ALARM_COUNT> m_pAlarmFlags;
    int m_bBlockWarned = 0;
    // An input notice arrived: the dynamic references are checked when its cascade has settled.
    int m_bDynRefsPending = 0;
    // Alarms whose input's parameters changed: their set points are checked against the new display range
    // when the cascade has settled.
    std::bitset<ALARM_ROWS> m_setPointsToCheck;
};
