#!/usr/bin/env bash
# Installs what the Windows build and its tests need: the mingw-w64 cross compiler (posix threads), wine to
# run the programs, and GoogleTest's sources, which the Windows build compiles itself. Safe to run again.
set -euo pipefail
exec "$(dirname "$0")/install-deps.sh" g++-mingw-w64-x86-64-posix wine wine64 googletest libcli11-dev \
    nlohmann-json3-dev
