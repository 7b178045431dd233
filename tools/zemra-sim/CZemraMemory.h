#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// The three block banks of the unit, as the wire codes address them: '@'/'D' reach the input bank (physical
// inputs at 0..23, logical inputs at 24..31), 'A'/'E' the alarms, 'B'/'F' the general constants.
enum class ZemBank { General, Input, Alarm };

// The unit's configuration memory: 8 general-constant blocks, 32 input blocks and 48 alarm blocks of 32
// bytes. It starts as the unit leaves the factory and can be kept in a text file between runs.
class CZemraMemory {
public:
    static constexpr int BLOCK_LEN = 32;
    using Block = std::array<std::uint8_t, BLOCK_LEN>;

    CZemraMemory();

    // Number of blocks in a bank; addresses run from 0 to that number minus 1.
    static int BlockCount(ZemBank bank);
    static const char* BankName(ZemBank bank);
    // Bank for a bank name as written in the memory file; 0 when unknown.
    static int BankByName(const std::string& name, ZemBank& bank);

    // Every block as the unit holds it on delivery.
    void LoadFactory();
    static Block FactoryBlock(ZemBank bank, int address);

    // Null / 0 for an address the bank does not have.
    const Block* Get(ZemBank bank, int address) const;
    int Put(ZemBank bank, int address, const Block& data);

    // Text form: one line per block, "<bank> <address> <64 hex digits>"; blank lines and lines starting with
    // '#' are skipped. Blocks missing from the text keep their current contents.
    std::string ToText() const;
    int FromText(const std::string& text, std::string& error);

    // File access; Save writes a temporary file and renames it, so a crash never leaves half a memory.
    int Load(const std::string& path, std::string& error);
    int Save(const std::string& path, std::string& error) const;

    bool operator==(const CZemraMemory& other) const = default;

private:
    std::vector<Block>& BankBlocks(ZemBank bank);
    const std::vector<Block>& BankBlocks(ZemBank bank) const;

    std::vector<Block> m_general;
    std::vector<Block> m_input;
    std::vector<Block> m_alarm;
};
