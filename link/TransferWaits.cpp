#include "link/TransferWaits.h"

#include <atomic>
#include <chrono>
#include <thread>

namespace {
std::atomic<int> g_blockWaitMs{TransferWaits::UNIT_BLOCK_WAIT_MS};
std::atomic<TransferWaits::AnswerWait> g_answerWait{nullptr};
} // namespace

int TransferWaits::BlockWaitMs() {
    return g_blockWaitMs.load();
}

void TransferWaits::SetBlockWaitMsForTests(int milliseconds) {
    g_blockWaitMs.store(milliseconds);
}

void TransferWaits::WaitForAnswer(int milliseconds) {
    if (const AnswerWait wait = g_answerWait.load())
        wait(milliseconds);
    else if (milliseconds > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

void TransferWaits::SetAnswerWaitForTests(AnswerWait wait) {
    g_answerWait.store(wait);
}
