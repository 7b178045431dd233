#include "tools/zemra-sim/CZemraSimulator.h"

#include "model/CZemProtocol.h"

#include <algorithm>
#include <cstdio>

namespace {

constexpr std::uint8_t CODE_READ_INPUT = 0x40;
constexpr std::uint8_t CODE_READ_ALARM = 0x41;
constexpr std::uint8_t CODE_READ_GENERAL = 0x42;
constexpr std::uint8_t CODE_WRITE_INPUT = 0x44;
constexpr std::uint8_t CODE_WRITE_ALARM = 0x45;
constexpr std::uint8_t CODE_WRITE_GENERAL = 0x46;
// Skipped noise kept for the trace; the rest is only counted.
constexpr std::size_t MAX_SKIPPED_SHOWN = 32;

bool IsReadCode(std::uint8_t code) {
    return code == CODE_READ_INPUT || code == CODE_READ_ALARM || code == CODE_READ_GENERAL;
}

bool IsWriteCode(std::uint8_t code) {
    return code == CODE_WRITE_INPUT || code == CODE_WRITE_ALARM || code == CODE_WRITE_GENERAL;
}

ZemBank BankOfCode(std::uint8_t code) {
    switch (code & ~0x04) {
    case CODE_READ_ALARM:
        return ZemBank::Alarm;
    case CODE_READ_GENERAL:
        return ZemBank::General;
    default:
        return ZemBank::Input;
    }
}

bool IsNibbleChar(std::uint8_t c) {
    return c >= 0x30 && c <= 0x3F;
}

int DecodeByte(const std::uint8_t* at) {
    return (at[0] & 0x0F) << 4 | (at[1] & 0x0F);
}

} // namespace

std::string CZemraSimulator::Printable(const std::uint8_t* data, std::size_t count) {
    std::string text;
    for (std::size_t i = 0; i < count; ++i) {
        if (data[i] >= 0x20 && data[i] <= 0x7E) {
            text += static_cast<char>(data[i]);
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", data[i]);
            text += hex;
        }
    }
    return text;
}

void CZemraSimulator::Trace(const std::string& line) const {
    if (m_trace) m_trace(line);
}

std::vector<ZemReply> CZemraSimulator::Feed(const std::vector<std::uint8_t>& data) {
    std::vector<ZemReply> replies;
    Feed(data.data(), data.size(), replies);
    return replies;
}

void CZemraSimulator::Feed(const std::uint8_t* data, std::size_t count, std::vector<ZemReply>& replies) {
    if (!data) return;
    for (std::size_t i = 0; i < count; ++i)
        TakeByte(data[i], replies);
    FlushSkipped();
}

void CZemraSimulator::ResetFraming() {
    m_frame.clear();
    m_expected = 0;
    m_skipped.clear();
}

void CZemraSimulator::FlushSkipped() {
    if (m_skipped.empty() || !m_trace) return;
    Trace("skipped " + Printable(m_skipped.data(), std::min(m_skipped.size(), MAX_SKIPPED_SHOWN)) +
          (m_skipped.size() > MAX_SKIPPED_SHOWN ? "..." : ""));
    m_skipped.clear();
}

void CZemraSimulator::Reject(const std::string& why) {
    ++m_rejects;
    Trace("ignored " + Printable(m_frame.data(), m_frame.size()) + ": " + why);
    m_frame.clear();
    m_expected = 0;
}

void CZemraSimulator::TakeByte(std::uint8_t byte, std::vector<ZemReply>& replies) {
    if (byte == CZemProtocol::MSG_START) {
        // A '#' never occurs inside a message, so it always starts a new one.
        FlushSkipped();
        if (!m_frame.empty()) Reject("interrupted by a new message");
        m_frame.assign(1, byte);
        return;
    }
    if (m_frame.empty()) {
        // Line noise, the wake-up spaces, or the tail of a message we gave up on.
        if (m_skipped.size() < MAX_SKIPPED_SHOWN + 1) m_skipped.push_back(byte);
        return;
    }
    m_frame.push_back(byte);
    if (m_frame.size() == 2) {
        if (IsReadCode(byte)) {
            m_expected = CZemProtocol::REQ_MSG_LEN;
        } else if (IsWriteCode(byte)) {
            m_expected = CZemProtocol::DATA_MSG_LEN;
        } else {
            Reject("unknown message code");
            return;
        }
    }
    if (m_frame.size() == m_expected) HandleFrame(replies);
}

void CZemraSimulator::HandleFrame(std::vector<ZemReply>& replies) {
    const std::uint8_t code = m_frame[1];
    if (m_frame.back() != CZemProtocol::MSG_END) {
        Reject("no '$' at the end");
        return;
    }
    for (std::size_t i = 2; i + 1 < m_frame.size(); ++i) {
        if (!IsNibbleChar(m_frame[i])) {
            Reject("character " + std::to_string(i) + " is not a nibble character");
            return;
        }
    }
    const ZemBank bank = BankOfCode(code);
    const int address = DecodeByte(&m_frame[2]);
    if (IsReadCode(code)) {
        if (DecodeByte(&m_frame[4]) != ((code + address) & 0xFF)) {
            Reject("wrong checksum");
            return;
        }
        Trace("request " + Printable(m_frame.data(), m_frame.size()));
        m_frame.clear();
        HandleRequest(bank, address, replies);
        return;
    }
    BR_ZEM_MSG wireCode;
    BYTE wireAddress;
    CZemraMemory::Block data;
    if (!CZemProtocol::GetReadMsg(m_frame.data(), wireCode, wireAddress, data.data())) {
        Reject("wrong checksum");
        return;
    }
    Trace("write " + Printable(m_frame.data(), m_frame.size()));
    m_frame.clear();
    HandleWrite(bank, address, data);
}

void CZemraSimulator::HandleRequest(ZemBank bank, int address, std::vector<ZemReply>& replies) {
    ++m_requests;
    const CZemraMemory::Block* block = m_memory.Get(bank, address);
    if (!block) {
        ++m_rejects;
        Trace(std::string("no ") + CZemraMemory::BankName(bank) + " block " + std::to_string(address) +
              ": no answer");
        return;
    }
    const std::string name = CZemraFaultTable::BlockName(bank, address);
    const std::uint8_t code = bank == ZemBank::General ? CODE_READ_GENERAL
                              : bank == ZemBank::Alarm ? CODE_READ_ALARM
                                                       : CODE_READ_INPUT;
    ZemReply reply;
    reply.delayMs = m_answerDelayMs;
    reply.bytes.resize(CZemProtocol::DATA_MSG_LEN);
    CZemProtocol::MakeWriteMsg(static_cast<BR_ZEM_MSG>(code), static_cast<BYTE>(address), block->data(),
                               reply.bytes.data());

    ZemFaultKind fault;
    if (m_faults.TakeAnswerFault(bank, address, fault)) {
        Trace("fault " + std::string(CZemraFaultTable::KindName(fault)) + " on " + name);
        switch (fault) {
        case ZemFaultKind::NoAnswer:
            return;
        case ZemFaultKind::ShortAnswer:
            reply.bytes.pop_back();
            break;
        case ZemFaultKind::LongAnswer:
            reply.bytes.push_back(CZemProtocol::MSG_END);
            break;
        case ZemFaultKind::BadChecksum:
            reply.bytes[5] = CZemProtocol::NibbleChar(CZemProtocol::NibbleValue(reply.bytes[5]) + 1);
            break;
        case ZemFaultKind::LateAnswer:
            reply.delayMs = m_faults.LateDelayMs(m_lateDelayMs);
            break;
        case ZemFaultKind::OtherBlock: {
            const int other = (address + 1) % CZemraMemory::BlockCount(bank);
            CZemProtocol::MakeWriteMsg(static_cast<BR_ZEM_MSG>(code), static_cast<BYTE>(other),
                                       m_memory.Get(bank, other)->data(), reply.bytes.data());
            break;
        }
        default:
            break;
        }
    }
    Trace("answer " + name + " " + Printable(reply.bytes.data(), reply.bytes.size()) +
          (reply.delayMs ? " after " + std::to_string(reply.delayMs) + " ms" : ""));
    replies.push_back(std::move(reply));
}

void CZemraSimulator::HandleWrite(ZemBank bank, int address, const CZemraMemory::Block& data) {
    if (!m_memory.Get(bank, address)) {
        ++m_rejects;
        Trace(std::string("no ") + CZemraMemory::BankName(bank) + " block " + std::to_string(address) +
              ": not stored");
        return;
    }
    const std::string name = CZemraFaultTable::BlockName(bank, address);
    CZemraMemory::Block stored = data;
    ZemFaultKind fault;
    if (m_faults.TakeStoreFault(bank, address, fault)) {
        Trace("fault " + std::string(CZemraFaultTable::KindName(fault)) + " on " + name);
        if (fault == ZemFaultKind::NoStore) return;
        stored[0] ^= 0x01;
    }
    m_memory.Put(bank, address, stored);
    ++m_stores;
    Trace("stored " + name);
}
