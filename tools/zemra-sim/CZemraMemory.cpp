#include "tools/zemra-sim/CZemraMemory.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

namespace {

constexpr int GENERAL_BLOCKS = 8;
constexpr int INPUT_BLOCKS = 32;
constexpr int PHYSICAL_BLOCKS = 24;
constexpr int ALARM_BLOCKS = 48;
// A memory file is about 7 KB; anything far larger is not one.
constexpr std::streamoff MAX_FILE_SIZE = 1 << 20;

constexpr std::uint8_t REF_OFF = 48;
constexpr std::uint8_t SPACE = 0x20;

void PutLong(CZemraMemory::Block& block, int slot, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        block[4 * slot + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::string LineError(int line, const std::string& what) {
    return "line " + std::to_string(line) + ": " + what;
}

} // namespace

CZemraMemory::CZemraMemory() {
    LoadFactory();
}

int CZemraMemory::BlockCount(ZemBank bank) {
    switch (bank) {
    case ZemBank::General:
        return GENERAL_BLOCKS;
    case ZemBank::Input:
        return INPUT_BLOCKS;
    case ZemBank::Alarm:
        return ALARM_BLOCKS;
    }
    return 0;
}

const char* CZemraMemory::BankName(ZemBank bank) {
    switch (bank) {
    case ZemBank::General:
        return "general";
    case ZemBank::Input:
        return "input";
    case ZemBank::Alarm:
        return "alarm";
    }
    return "?";
}

int CZemraMemory::BankByName(const std::string& name, ZemBank& bank) {
    for (ZemBank candidate : {ZemBank::General, ZemBank::Input, ZemBank::Alarm}) {
        if (name == BankName(candidate)) {
            bank = candidate;
            return 1;
        }
    }
    return 0;
}

// Factory state: general constants as a new configuration has them (MODBUS, device 1, 9600 baud on both
// ports, everything else 0), every physical and logical input off with blank unit text and all logical
// sources off, and every alarm off as a new alarm row is (delay 0.3 s, no LED, no output, blank text).
CZemraMemory::Block CZemraMemory::FactoryBlock(ZemBank bank, int address) {
    Block block{};
    switch (bank) {
    case ZemBank::General:
        if (address == 0) {
            PutLong(block, 2, 1);    // protocol MODBUS
            PutLong(block, 3, 1);    // device number
            PutLong(block, 5, 9600); // RS 232 baud rate
            PutLong(block, 6, 9600); // RS 485 baud rate
        }
        break;
    case ZemBank::Input:
        if (address >= PHYSICAL_BLOCKS) {
            for (int i = 16; i < 28; ++i)
                block[i] = REF_OFF;
        }
        for (int i = 28; i < 32; ++i)
            block[i] = SPACE;
        break;
    case ZemBank::Alarm:
        block[0] = REF_OFF;
        block[3] = 0x20; // comparison "<"
        block[4] = 30;   // 30 x 0.01 s
        block[5] = 0;
        block[6] = 24; // LED off
        block[7] = 14; // output off
        for (int i = 9; i < 19; ++i)
            block[i] = SPACE;
        break;
    }
    return block;
}

void CZemraMemory::LoadFactory() {
    for (ZemBank bank : {ZemBank::General, ZemBank::Input, ZemBank::Alarm}) {
        std::vector<Block>& blocks = BankBlocks(bank);
        blocks.assign(BlockCount(bank), Block{});
        for (int a = 0; a < BlockCount(bank); ++a)
            blocks[a] = FactoryBlock(bank, a);
    }
}

std::vector<CZemraMemory::Block>& CZemraMemory::BankBlocks(ZemBank bank) {
    return bank == ZemBank::General ? m_general : bank == ZemBank::Input ? m_input : m_alarm;
}

const std::vector<CZemraMemory::Block>& CZemraMemory::BankBlocks(ZemBank bank) const {
    return bank == ZemBank::General ? m_general : bank == ZemBank::Input ? m_input : m_alarm;
}

const CZemraMemory::Block* CZemraMemory::Get(ZemBank bank, int address) const {
    const std::vector<Block>& blocks = BankBlocks(bank);
    if (address < 0 || address >= static_cast<int>(blocks.size())) return nullptr;
    return &blocks[address];
}

int CZemraMemory::Put(ZemBank bank, int address, const Block& data) {
    std::vector<Block>& blocks = BankBlocks(bank);
    if (address < 0 || address >= static_cast<int>(blocks.size())) return 0;
    blocks[address] = data;
    return 1;
}

std::string CZemraMemory::ToText() const {
    std::string text = "# zemra-sim memory: <bank> <address> <32 bytes in hex>\n";
    for (ZemBank bank : {ZemBank::General, ZemBank::Input, ZemBank::Alarm}) {
        const std::vector<Block>& blocks = BankBlocks(bank);
        for (size_t a = 0; a < blocks.size(); ++a) {
            char head[32];
            std::snprintf(head, sizeof head, "%s %zu ", BankName(bank), a);
            text += head;
            for (std::uint8_t b : blocks[a]) {
                char hex[3];
                std::snprintf(hex, sizeof hex, "%02X", b);
                text += hex;
            }
            text += '\n';
        }
    }
    return text;
}

int CZemraMemory::FromText(const std::string& text, std::string& error) {
    CZemraMemory parsed = *this; // all or nothing: a bad line leaves the memory untouched
    std::istringstream in(text);
    std::string line;
    int lineNo = 0;
    while (std::getline(in, line)) {
        ++lineNo;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const size_t first = line.find_first_not_of(" \t");
        if (first == std::string::npos || line[first] == '#') continue;
        std::istringstream fields(line);
        std::string bankName, addressText, hex, extra;
        fields >> bankName >> addressText >> hex;
        if (hex.empty()) {
            error = LineError(lineNo, "expected \"<bank> <address> <64 hex digits>\"");
            return 0;
        }
        if (fields >> extra) {
            error = LineError(lineNo, "unexpected text after the block");
            return 0;
        }
        ZemBank bank;
        if (!BankByName(bankName, bank)) {
            error = LineError(lineNo, "unknown bank \"" + bankName + "\" (general, input or alarm)");
            return 0;
        }
        int address = -1;
        if (addressText.size() <= 3 && addressText.find_first_not_of("0123456789") == std::string::npos)
            address = std::stoi(addressText);
        if (address < 0 || address >= BlockCount(bank)) {
            error = LineError(lineNo, "no block \"" + addressText + "\" in bank " + bankName);
            return 0;
        }
        if (hex.size() != 2 * BLOCK_LEN) {
            error = LineError(lineNo, "a block needs exactly 64 hex digits");
            return 0;
        }
        Block block;
        for (int i = 0; i < BLOCK_LEN; ++i) {
            const int hi = HexDigit(hex[2 * i]);
            const int lo = HexDigit(hex[2 * i + 1]);
            if (hi < 0 || lo < 0) {
                error = LineError(lineNo, "not a hex digit in the block");
                return 0;
            }
            block[i] = static_cast<std::uint8_t>(hi << 4 | lo);
        }
        parsed.Put(bank, address, block);
    }
    *this = parsed;
    return 1;
}

int CZemraMemory::Load(const std::string& path, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot open " + path + ": " + std::strerror(errno);
        return 0;
    }
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    if (size < 0 || size > MAX_FILE_SIZE) {
        error = path + " is not a zemra-sim memory file (too large)";
        return 0;
    }
    in.seekg(0);
    std::string text(static_cast<size_t>(size), '\0');
    if (!in.read(text.data(), size)) {
        error = "cannot read " + path;
        return 0;
    }
    std::string why;
    if (!FromText(text, why)) {
        error = path + ": " + why;
        return 0;
    }
    return 1;
}

int CZemraMemory::Save(const std::string& path, std::string& error) const {
    const std::string temp = path + ".tmp";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out) {
            error = "cannot write " + temp + ": " + std::strerror(errno);
            return 0;
        }
        out << ToText();
        out.flush();
        if (!out) {
            error = "cannot write " + temp;
            std::remove(temp.c_str());
            return 0;
        }
    }
    if (std::rename(temp.c_str(), path.c_str()) != 0) {
        error = "cannot replace " + path + ": " + std::strerror(errno);
        std::remove(temp.c_str());
        return 0;
    }
    return 1;
}
