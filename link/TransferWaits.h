#pragma once

// The fixed pauses of a block exchange: the unit needs 100 ms to answer a request and to store a block.
// The program always uses them; tests may shorten them to run faster.
class TransferWaits {
public:
    static int BlockWaitMs();
    static void SetBlockWaitMsForTests(int milliseconds);

    // The pause between a request and the reading of its answer. A test whose simulated unit runs on another
    // thread may wait for the answer itself instead, so that a busy machine cannot make the answer late.
    using AnswerWait = void (*)(int milliseconds);
    static void WaitForAnswer(int milliseconds);
    static void SetAnswerWaitForTests(AnswerWait wait);

    static constexpr int UNIT_BLOCK_WAIT_MS = 100;
};
