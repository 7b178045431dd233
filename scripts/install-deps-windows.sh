#!/usr/bin/env bash
# Installs what the Windows build and its tests need: the mingw-w64 cross compiler (posix threads), wine to
# run the programs, GoogleTest's sources, which the Windows build compiles itself, what builds Qt for Windows
# from Debian's sources (the host's Qt tools, dpkg-source), the renderers of the icons, NSIS for the
# installer, and Xvfb with xdotool to see the program's window. Safe to run again.
set -euo pipefail
exec "$(dirname "$0")/install-deps.sh" g++-mingw-w64-x86-64-posix wine wine64 googletest libcli11-dev \
    nlohmann-json3-dev qt6-base-dev qt6-base-dev-tools dpkg-dev xz-utils librsvg2-bin icoutils nsis \
    xvfb xauth xdotool openbox poppler-utils
