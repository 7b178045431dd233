#pragma once

#include "model/CBrantSetupType.h"

#include <cstdint>
#include <string>

class CPhysicalInput;

// Setup type 2: logical inputs LOG1..LOG7, each taking its signal from up to twelve sources (active
// physical inputs or lower logical inputs) that share the same seven parameters. Input cells (columns
// 1..12) offer exactly the sources that may be picked there; the derived cells (13..19) show the sources'
// parameters. Follows the Physical Input sheet through its change notices and tells the Alarm sheet when a
// logical input's parameters change, as (row, -1, "HEJ" or the source's name).
class CLogicalInput : public CBrantSetupType {
public:
    CLogicalInput();
    ~CLogicalInput() override;

    int ValidateData(int row, int col, std::string text) override;
    void SetParm(int row, int col, std::string text) override;
    void Initialize() override;
    void ResetChannel(int row) override;
    int GetNumChannels() override;
    void DoFileReadWrite(CArchive& archive, unsigned version) override;
    int UploadData(CComSetupDialog* com) override;
    int DownloadData(CComSetupDialog* com) override;
    BR_ZEM_MSG GetWriteCode() const override { return MSG_WRITE_LOGINP; }
    void FillBlock(int block, BYTE* data) override;
    void ApplyBlock(int block, BYTE* data) override;
    bool IsOffChannelCell(int row, int col) const override;
    // Sources in the list's spelling ("in 11" and "11" are "IN 11"); derived parameters as the input's.
    std::string CanonicalText(int row, int col, const std::string& text) const override;
    // An input cell takes "OFF" and the offered sources whose parameters are those of the row's other
    // sources.
    std::string GetAllowedText(int row, int col) override;

    // 1 when an input cell of logical input `row` other than `exceptCol` (-1: none) is not "OFF".
    int IsOtherParmActive(int row, int exceptCol) const;
    // The active logical inputs among LOG1..LOG7 in ascending order; `list` has room for 7 entries.
    void GetActiveLogInputs(std::uint32_t* list, int& count) const;

    // Device image: block `index` (0..6) carries logical input index + 1. Applying a block runs every
    // received source through the edit rules, without message boxes.
    void GetLogInpDataBlock(int index); // into the setup type's data block
    void GetLogInpDataBlock(int index, BYTE* block);
    void SetLogInpParms(int index, BYTE* block);
    void GetInputReference(int row, BYTE* out);
    void SetInputReference(int row, const BYTE* in);
    // Reference byte of a source name: physical 0..23, LOG1..LOG8 24..31, anything else 48.
    static BYTE EncodeInputReference(const std::string& value);
    // The source a reference byte names, "OFF" for 48, or the empty string when it names none.
    static std::string DecodeInputReference(BYTE code);

protected:
    // LOG8 has no block in the unit: seven blocks move, not one per row.
    int GetNumTransBlocks() override { return 7; }
    void OnUpdateModify(int source, int row, int col, std::string text) override;

private:
    void CreateDefDataSheet() override;
    void ReadLegacyRecord(CArchive& archive, unsigned version);

    // Cascades and list upkeep.
    void UpdatePropSheet(int phRow);
    int UpdateInpParms(int row, int phRow);
    int UpDataLogInp(int row, const std::string& name);
    void ResetPhInpParms(int row);
    int VerifyPhInps(int phRow, int row) const;
    int VerifyLogInps(int srcRow, int row) const;
    void RemoveSelChannel(int row, int exceptCol, const std::string& name);
    void AddSelChannel(int row, int exceptCol, const std::string& name);
    void AddLogInpToDataSheet(int row);
    void RemoveLogFromDataSheet(int row);
    void RemoveInactLogChn(int row);
    int UpdateModifyLogInput(int row);

    // Input cell (row 1..8, column 1..12) or null.
    CBrChnData* GetInputCell(int row, int col) const;
    // The physical row (1..24) or lower logical row a source name refers to; -1 when none.
    static int PhysicalSource(const std::string& name);
    static int LogicalSource(const std::string& name, int row);
    static CPhysicalInput* GetPhysical();
    void NotifyAlarms(int row, const std::string& text);
};
