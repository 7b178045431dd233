#pragma once

#include "model/CBrantSetupType.h"

#include <cstdint>

// Setup type 0: the unit-wide constants (device number, baud rates, protocol, reset and block modes,
// hysteresis). Edited in a two-column grid; 50 hidden rows keep the document record a fixed shape.
class CGeneral : public CBrantSetupType {
public:
    static constexpr int GENERAL_BLOCKS = 8; // 8 blocks of 8 constants

    CGeneral();
    ~CGeneral() override;

    int ValidateData(int row, int col, std::string text) override;
    void SetParm(int row, int col, std::string text) override;
    void Initialize() override;
    void ResetChannel(int row) override;
    int GetNumChannels() override;
    std::string GetAllowedText(int row, int col) override;
    void DoFileReadWrite(CArchive& archive, unsigned version) override;
    int UploadData(CComSetupDialog* com) override;
    int DownloadData(CComSetupDialog* com) override;
    BR_ZEM_MSG GetWriteCode() const override { return MSG_WRITE_GENERAL; }
    void FillBlock(int block, BYTE* data) override;
    void ApplyBlock(int block, BYTE* data) override;
    unsigned long GetTotalTransBytes(int direction) override;
    // The constants travel in eight blocks, not one per row.
    int GetNumTransBlocks() override { return GENERAL_BLOCKS; }

    // Device image: constants `first`..`first`+7 of one 32-byte block, little-endian 32-bit each.
    void GetConDataBlock(int first, BYTE* buffer);
    void SetConstants(int first, BYTE* buffer);
    std::uint32_t StringToValue(int row, const std::string& text);
    std::string FormatValue(int row, std::uint32_t value);
    // The General sheet row a device constant carries, or -1.
    static int GetConstantRow(int constant);
    // Device number without leading zeros, hysteresis in its shortest decimals, list values spelled as
    // listed.
    std::string CanonicalText(int row, int col, const std::string& text) const override;

protected:
    void OnUpdateModify(int source, int row, int col, std::string text) override;
    void FileRead(CArchive& archive, unsigned version) override;

private:
    void CreateDefDataSheet() override;
    int IsValidParm(int row, int col, std::string& text, const char* const* list, int count);
    int IsInRange(int row, int col, std::string text, int min, int max);
    // The hysteresis: 1 and stored when it lies in min..max and is a whole number of the unit's 0.05 % steps;
    // otherwise 0 and `error` names the message.
    int fIsInRange(int row, int col, std::string text, float min, float max, UINT& error);
    static int GetNewSection(int legacySection);
    void FixItems(int row, const char* const* texts, int count);
    void FixResetValues();
    void FixBlockValues();
    void FixFuncTest();
    void FixInit();
};
