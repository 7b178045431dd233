#pragma once

#include "tools/zemra-sim/CZemraMemory.h"

#include <array>
#include <random>
#include <string>
#include <vector>

// How the simulated unit misbehaves for one block.
enum class ZemFaultKind {
    NoAnswer,    // a request gets no answer at all
    ShortAnswer, // the answer lacks its final '$' (70 bytes)
    LongAnswer,  // the answer carries one byte too many (72 bytes)
    BadChecksum, // the answer's checksum is one off
    LateAnswer,  // the answer comes after the late delay instead of at once
    FlipBit,     // a written block is stored with the lowest bit of its first byte inverted
    NoStore,     // a written block is dropped, so the old contents read back
    OtherBlock,  // the answer is the data message of the next block of the bank, as a mixed-up unit sends
};
constexpr int ZEM_FAULT_KIND_COUNT = 8;

struct ZemFault {
    ZemBank bank = ZemBank::General;
    int first = 0; // the block addresses within the bank that the fault acts on
    int last = 0;
    ZemFaultKind kind = ZemFaultKind::NoAnswer;
    int remaining = -1; // how many more times it fires; -1 for always
};

// The faults to inject, checked in the order they were added. Answer faults act on the answer to a request,
// store faults on a written block; each firing uses up one of the fault's count.
class CZemraFaultTable {
public:
    // Parses "BLOCK:KIND[:COUNT]". BLOCK is general/N (0..7), physical/N (0..23), logical/N (0..7, stored at
    // input address 24 + N), alarm/N (0..47), with N a number or '*'. KIND is one of noanswer, short, long,
    // checksum, late, flip, nostore, other. COUNT is 1 or more. Returns 0 with a reason on a bad fault
    // description.
    static int Parse(const std::string& faultText, ZemFault& fault, std::string& error);
    static const char* KindName(ZemFaultKind kind);
    static bool IsStoreFault(ZemFaultKind kind);
    // "alarm/5" or "logical/2" for a block address of a bank.
    static std::string BlockName(ZemBank bank, int address);

    void Add(const ZemFault& fault) { m_faults.push_back(fault); }
    void Clear() { m_faults.clear(); }
    const std::vector<ZemFault>& Faults() const { return m_faults; }

    // Besides the listed faults, misbehave at random: `perMille` of the requests get an answer fault and as
    // many of the written blocks a store fault, the kind drawn evenly from its class. A late answer then
    // comes after a delay drawn evenly from 1 ms to the late delay. The same seed draws the same faults.
    void SetRandom(unsigned seed, int perMille);
    int RandomPerMille() const { return m_nRandomPerMille; }
    // Delay of a late answer: up to maxMs at random when faults are random, else maxMs.
    int LateDelayMs(int maxMs);
    // How many times each kind has fired, listed or random.
    unsigned long FiredCount(ZemFaultKind kind) const { return m_fired[static_cast<std::size_t>(kind)]; }

    // Fires the first armed fault of the wanted class for the block; 0 when none is armed.
    int TakeAnswerFault(ZemBank bank, int address, ZemFaultKind& kind) {
        return Take(bank, address, false, kind);
    }
    int TakeStoreFault(ZemBank bank, int address, ZemFaultKind& kind) {
        return Take(bank, address, true, kind);
    }

private:
    int Take(ZemBank bank, int address, bool store, ZemFaultKind& kind);
    int TakeRandom(bool store, ZemFaultKind& kind);

    std::vector<ZemFault> m_faults;
    int m_nRandomPerMille = 0;
    std::mt19937 m_random;
    std::array<unsigned long, ZEM_FAULT_KIND_COUNT> m_fired{};
};
