#pragma once

#include "model/CBrantSetupType.h"

#include <cstdint>
#include <memory>

// Setup type 1: the 24 analog inputs. Each row holds the input type ("OFF" when unused), the LCD unit,
// the input range, the LCD range and a miscellaneous value. The other sheets follow these inputs through
// the change notices sent after every edit and through IsChannelActive / GetActiveChannels.
class CPhysicalInput : public CBrantSetupType {
public:
    CPhysicalInput();
    ~CPhysicalInput() override;

    int ValidateData(int row, int col, std::string text) override;
    void SetParm(int row, int col, std::string text) override;
    void Initialize() override;
    void ResetChannel(int row) override;
    int GetNumChannels() override;
    void DoFileReadWrite(CArchive& archive, unsigned version) override;
    int UploadData(CComSetupDialog* com) override;
    int DownloadData(CComSetupDialog* com) override;
    BR_ZEM_MSG GetWriteCode() const override { return MSG_WRITE_PHINP; }
    void FillBlock(int block, BYTE* data) override;
    void ApplyBlock(int block, BYTE* data) override;
    void EndApply() override;
    bool IsOffChannelCell(int row, int col) const override;
    std::string CanonicalText(int row, int col, const std::string& text) const override;
    std::string GetAllowedText(int row, int col) override;

    // The default cell of (row, col) with its items and property name; owned by the caller.
    CBrChnData* CreateDefaultChn(int row, int col);
    // 1 while input `row` (1..24) has a type other than "OFF"; 0 for any other row.
    int IsChannelActive(int row) const;
    // The active input rows in ascending order; `out` has room for 24 entries.
    void GetActiveChannels(std::uint32_t* out, int& count) const;

    // Device image: channel block `index` (0..23) carries input row index + 1. Bytes 16..27 and the
    // unused bits of the numbers keep what `buffer` held. Applying a block re-checks the input as an edit
    // does, without message boxes.
    void GetInputParms(int index, BYTE* buffer);
    void SetInputParms(int index, BYTE* buffer);

    // Every LCD unit known to the document, in the order first met.
    const CBrChnData& GetUnitCatalogue() const { return *m_pUnits; }

private:
    void CreateDefDataSheet() override;
    int DoValidateData(int row, int col, std::string text);
    int ValidateInpRange(std::string& text, int row, int col);
    int IsSelectValid(int row, int col, const std::string& text);
    int ValidateUnit(int row, int col, std::string& text);
    // Gathers the units of all inputs into the catalogue and gives every input the full list; false, with
    // the inputs' lists left as they were, when together they hold more units than a list may.
    bool MergeUnits();
    void ResetUnitCatalogue();

    std::unique_ptr<CBrChnData> m_pUnits;
};
