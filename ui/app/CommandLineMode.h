#pragma once

// `tavik --export-pdf OUT.pdf FILE.zmg` runs as a command: without a window, and with its messages on the
// console it was started from. What that takes differs between the systems.
void PrepareCommandLineMode();
