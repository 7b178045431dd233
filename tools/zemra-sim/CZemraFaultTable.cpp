#include "tools/zemra-sim/CZemraFaultTable.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <utility>

namespace {

constexpr int PHYSICAL_BLOCKS = 24;
constexpr int LOGICAL_BLOCKS = 8;
constexpr int MAX_COUNT = 1000000;
constexpr int MAX_PER_MILLE = 1000;

constexpr std::array<std::pair<const char*, ZemFaultKind>, ZEM_FAULT_KIND_COUNT> KINDS = {{
    {"noanswer", ZemFaultKind::NoAnswer},
    {"short", ZemFaultKind::ShortAnswer},
    {"long", ZemFaultKind::LongAnswer},
    {"checksum", ZemFaultKind::BadChecksum},
    {"late", ZemFaultKind::LateAnswer},
    {"flip", ZemFaultKind::FlipBit},
    {"nostore", ZemFaultKind::NoStore},
    {"other", ZemFaultKind::OtherBlock},
}};

// A small decimal number; -1 when `text` is not one.
int SmallNumber(const std::string& text) {
    if (text.empty() || text.size() > 7 || text.find_first_not_of("0123456789") != std::string::npos)
        return -1;
    return std::stoi(text);
}

} // namespace

const char* CZemraFaultTable::KindName(ZemFaultKind kind) {
    for (const auto& [name, k] : KINDS) {
        if (k == kind) return name;
    }
    return "?";
}

bool CZemraFaultTable::IsStoreFault(ZemFaultKind kind) {
    return kind == ZemFaultKind::FlipBit || kind == ZemFaultKind::NoStore;
}

std::string CZemraFaultTable::BlockName(ZemBank bank, int address) {
    std::string name;
    int index = address;
    switch (bank) {
    case ZemBank::General:
        name = "general";
        break;
    case ZemBank::Alarm:
        name = "alarm";
        break;
    case ZemBank::Input:
        if (address >= PHYSICAL_BLOCKS) {
            name = "logical";
            index = address - PHYSICAL_BLOCKS;
        } else {
            name = "physical";
        }
        break;
    }
    return name + "/" + std::to_string(index);
}

int CZemraFaultTable::Parse(const std::string& faultText, ZemFault& fault, std::string& error) {
    const size_t slash = faultText.find('/');
    const size_t colon = faultText.find(':');
    if (slash == std::string::npos || colon == std::string::npos || slash > colon) {
        error = "fault \"" + faultText + "\": expected BLOCK:KIND[:COUNT] with BLOCK like alarm/5";
        return 0;
    }
    const std::string bankName = faultText.substr(0, slash);
    const std::string indexText = faultText.substr(slash + 1, colon - slash - 1);
    const std::string rest = faultText.substr(colon + 1);
    const size_t colon2 = rest.find(':');
    const std::string kindName = rest.substr(0, colon2);
    const std::string countText = colon2 == std::string::npos ? std::string() : rest.substr(colon2 + 1);

    ZemFault parsed;
    int offset = 0;
    int limit = 0;
    if (bankName == "general") {
        parsed.bank = ZemBank::General;
        limit = CZemraMemory::BlockCount(ZemBank::General);
    } else if (bankName == "physical") {
        parsed.bank = ZemBank::Input;
        limit = PHYSICAL_BLOCKS;
    } else if (bankName == "logical") {
        parsed.bank = ZemBank::Input;
        offset = PHYSICAL_BLOCKS;
        limit = LOGICAL_BLOCKS;
    } else if (bankName == "alarm") {
        parsed.bank = ZemBank::Alarm;
        limit = CZemraMemory::BlockCount(ZemBank::Alarm);
    } else {
        error = "fault \"" + faultText + "\": unknown block kind \"" + bankName +
                "\" (general, physical, logical or alarm)";
        return 0;
    }
    if (indexText == "*") {
        parsed.first = offset;
        parsed.last = offset + limit - 1;
    } else {
        const int index = SmallNumber(indexText);
        if (index < 0 || index >= limit) {
            error = "fault \"" + faultText + "\": block \"" + indexText + "\" must be * or 0.." +
                    std::to_string(limit - 1);
            return 0;
        }
        parsed.first = parsed.last = offset + index;
    }

    bool known = false;
    for (const auto& [name, kind] : KINDS) {
        if (kindName == name) {
            parsed.kind = kind;
            known = true;
        }
    }
    if (!known) {
        error = "fault \"" + faultText + "\": unknown kind \"" + kindName +
                "\" (noanswer, short, long, checksum, late, flip, nostore, other)";
        return 0;
    }
    if (colon2 != std::string::npos) {
        const int count = SmallNumber(countText);
        if (count < 1 || count > MAX_COUNT) {
            error =
                "fault \"" + faultText + "\": count must be a number from 1 to " + std::to_string(MAX_COUNT);
            return 0;
        }
        parsed.remaining = count;
    }
    fault = parsed;
    return 1;
}

int CZemraFaultTable::Take(ZemBank bank, int address, bool store, ZemFaultKind& kind) {
    for (ZemFault& fault : m_faults) {
        if (fault.bank != bank || IsStoreFault(fault.kind) != store || fault.remaining == 0) continue;
        if (address < fault.first || address > fault.last) continue;
        if (fault.remaining > 0) --fault.remaining;
        kind = fault.kind;
        ++m_fired[static_cast<std::size_t>(kind)];
        return 1;
    }
    return TakeRandom(store, kind);
}

void CZemraFaultTable::SetRandom(unsigned seed, int perMille) {
    m_random.seed(seed);
    m_nRandomPerMille = std::clamp(perMille, 0, MAX_PER_MILLE);
}

int CZemraFaultTable::TakeRandom(bool store, ZemFaultKind& kind) {
    if (m_nRandomPerMille <= 0) return 0;
    if (std::uniform_int_distribution<int>(0, MAX_PER_MILLE - 1)(m_random) >= m_nRandomPerMille) return 0;
    static constexpr ZemFaultKind ANSWER_KINDS[] = {ZemFaultKind::NoAnswer,   ZemFaultKind::ShortAnswer,
                                                    ZemFaultKind::LongAnswer, ZemFaultKind::BadChecksum,
                                                    ZemFaultKind::LateAnswer, ZemFaultKind::OtherBlock};
    static constexpr ZemFaultKind STORE_KINDS[] = {ZemFaultKind::FlipBit, ZemFaultKind::NoStore};
    if (store) {
        kind =
            STORE_KINDS[std::uniform_int_distribution<std::size_t>(0, std::size(STORE_KINDS) - 1)(m_random)];
    } else {
        kind = ANSWER_KINDS[std::uniform_int_distribution<std::size_t>(0, std::size(ANSWER_KINDS) -
                                                                              1)(m_random)];
    }
    ++m_fired[static_cast<std::size_t>(kind)];
    return 1;
}

int CZemraFaultTable::LateDelayMs(int maxMs) {
    if (m_nRandomPerMille <= 0 || maxMs <= 1) return maxMs;
    return std::uniform_int_distribution<int>(1, maxMs)(m_random);
}
