#pragma once

// The fixed pauses of a block exchange: the unit needs 100 ms to answer a request and to store a block.
// The program always uses them; tests may shorten them to run faster.
class TransferWaits {
public:
    static int BlockWaitMs();
    static void SetBlockWaitMsForTests(int milliseconds);

    static constexpr int UNIT_BLOCK_WAIT_MS = 100;
};
