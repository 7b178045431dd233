#pragma once

#include <string>
#include <vector>

// What the window side and the transfer worker share about the running transfer beyond its byte count:
// a pause, in which the worker waits between two blocks and nothing goes out on the line; a stop; how many
// write messages went out (so that an unfinished upload can tell whether the unit holds a mix); and the
// message and block of the last failed exchange, for traces.
class TransferControl {
public:
    // Before a worker starts: running, nothing written, no failure noted.
    static void Reset();

    // Window side. Pause holds the worker at its next block; Resume lets it go on. Stop ends the transfer
    // at its next block, and also releases a worker that waits at a pause.
    static void Pause();
    static void Resume();
    static void Stop();
    static bool IsPauseRequested();
    // True while the worker waits at a pause: from then on nothing moves on the line.
    static bool IsHeld();

    // Worker side: waits while a pause is requested; false when the transfer is to stop.
    static bool Pass();

    // Worker side: a write message for the block `name` ("Alarm 3 (A15)") went out, whole or in part.
    static void NoteWriteSent(const std::string& name);
    // Write messages that went out since Reset (over every retry).
    static int WritesSent();
    // The blocks they were for, each once, in the order first written.
    static std::vector<std::string> WrittenBlocks();

    // Worker side: the protocol words of the last failed exchange ("message 65, block 17").
    static void NoteFailure(const std::string& detail);
    // Read after the worker ended, or on the worker itself.
    static std::string LastFailure();
};
