#pragma once

// The fixed pauses of a block exchange: the unit needs 100 ms to answer a request and to store a block.
// The program always uses them; tests may shorten them to run faster.
class TransferWaits {
public:
    static int BlockWaitMs();
    static void SetBlockWaitMsForTests(int milliseconds);

    // Silence that settles the line after a failed exchange. An answer that has not begun five answer
    // windows after the failure is not coming: a unit that is that slow fails every block anyway, and half
    // a second is little beside the retry question and a transfer of ten seconds or more.
    static int QuietMs() { return QUIET_BLOCK_WAITS * BlockWaitMs(); }
    // A line that does not fall quiet by then carries noise, not late answers; the exchange fails.
    static int SettleLimitMs() { return SETTLE_LIMIT_QUIETS * QuietMs(); }
    // The pause between a request and the reading of its answer. A test whose simulated unit runs on another
    // thread may wait for the answer itself instead, so that a busy machine cannot make the answer late.
    using AnswerWait = void (*)(int milliseconds);
    static void WaitForAnswer(int milliseconds);
    static void SetAnswerWaitForTests(AnswerWait wait);

    // How long a Retry looks for a port that went away, and how often: a USB adapter that was plugged in
    // again takes a second or two to reappear under its name.
    static int ReconnectGraceMs() { return RECONNECT_BLOCK_WAITS * BlockWaitMs(); }
    static int ReopenStepMs() { return 2 * BlockWaitMs(); }

    static constexpr int UNIT_BLOCK_WAIT_MS = 100;
    static constexpr int RECONNECT_BLOCK_WAITS = 30;
    static constexpr int QUIET_BLOCK_WAITS = 5;
    static constexpr int SETTLE_LIMIT_QUIETS = 10;
};
