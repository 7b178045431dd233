#include "link/TransferWaits.h"

#include <atomic>

namespace {
std::atomic<int> g_blockWaitMs{TransferWaits::UNIT_BLOCK_WAIT_MS};
}

int TransferWaits::BlockWaitMs() {
    return g_blockWaitMs.load();
}

void TransferWaits::SetBlockWaitMsForTests(int milliseconds) {
    g_blockWaitMs.store(milliseconds);
}
