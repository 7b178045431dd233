#pragma once

#include "model/CZemProtocol.h"
#include "tools/zemra-sim/CZemraMemory.h"

#include <string>
#include <vector>

namespace zemsim_test {

using Bytes = std::vector<std::uint8_t>;

inline Bytes Request(BR_ZEM_MSG code, int address) {
    Bytes msg(CZemProtocol::REQ_MSG_LEN);
    CZemProtocol::MakeReqMsg(code, static_cast<BYTE>(address), msg.data());
    return msg;
}

inline Bytes Write(BR_ZEM_MSG code, int address, const CZemraMemory::Block& data) {
    Bytes msg(CZemProtocol::DATA_MSG_LEN);
    CZemProtocol::MakeWriteMsg(code, static_cast<BYTE>(address), data.data(), msg.data());
    return msg;
}

inline Bytes Text(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

inline Bytes Concat(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// A block whose every byte differs from its neighbours, so misplaced bytes show.
inline CZemraMemory::Block Pattern(int seed) {
    CZemraMemory::Block block;
    for (int i = 0; i < CZemraMemory::BLOCK_LEN; ++i)
        block[i] = static_cast<std::uint8_t>(seed * 31 + i * 7 + 1);
    return block;
}

} // namespace zemsim_test
