#pragma once

#include "tools/zemra-sim/CZemraFaultTable.h"
#include "tools/zemra-sim/CZemraMemory.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Bytes the unit sends, and how long after the request that caused them.
struct ZemReply {
    std::vector<std::uint8_t> bytes;
    int delayMs = 0;
};

// The Zemra-30 as seen from its RS-232 port, without the port: bytes go in, answers come out. It skips
// everything up to a '#', answers a well-formed request with the data message of the block and stores a
// well-formed write. Malformed messages and unknown blocks are ignored, as the unit ignores line noise.
class CZemraSimulator {
public:
    static constexpr int DEFAULT_LATE_MS = 300;

    CZemraSimulator() = default;

    // Takes received bytes; appends to `replies` what the unit sends in return.
    void Feed(const std::uint8_t* data, std::size_t count, std::vector<ZemReply>& replies);
    std::vector<ZemReply> Feed(const std::vector<std::uint8_t>& data);
    // Forgets a half-received message.
    void ResetFraming();

    CZemraMemory& Memory() { return m_memory; }
    const CZemraMemory& Memory() const { return m_memory; }
    CZemraFaultTable& Faults() { return m_faults; }

    // Delay of every answer, and of an answer hit by a "late" fault.
    void SetAnswerDelayMs(int ms) { m_answerDelayMs = ms < 0 ? 0 : ms; }
    void SetLateDelayMs(int ms) { m_lateDelayMs = ms < 0 ? 0 : ms; }
    // Receives one line per event (message received, answer, store, fault, rejected input).
    void SetTrace(std::function<void(const std::string&)> trace) { m_trace = std::move(trace); }

    unsigned long RequestCount() const { return m_requests; }
    unsigned long StoreCount() const { return m_stores; }
    unsigned long RejectCount() const { return m_rejects; }

    // Printable form of wire bytes for logs: characters 0x20..0x7E as they are, others as \xHH.
    static std::string Printable(const std::uint8_t* data, std::size_t count);

private:
    void TakeByte(std::uint8_t byte, std::vector<ZemReply>& replies);
    void HandleFrame(std::vector<ZemReply>& replies);
    void HandleRequest(ZemBank bank, int address, std::vector<ZemReply>& replies);
    void HandleWrite(ZemBank bank, int address, const CZemraMemory::Block& data);
    void Reject(const std::string& why);
    void FlushSkipped();
    void Trace(const std::string& line) const;

    CZemraMemory m_memory;
    CZemraFaultTable m_faults;
    int m_answerDelayMs = 0;
    int m_lateDelayMs = DEFAULT_LATE_MS;
    std::function<void(const std::string&)> m_trace;

    std::vector<std::uint8_t> m_frame; // the message being received, from its '#'
    std::size_t m_expected = 0;        // its full length once the code is known
    std::vector<std::uint8_t> m_skipped;

    unsigned long m_requests = 0;
    unsigned long m_stores = 0;
    unsigned long m_rejects = 0;
};
