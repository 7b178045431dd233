#!/usr/bin/env bash
# Installs what the Windows build and its tests need: the mingw-w64 cross compiler (posix threads), wine to
# run the programs, and GoogleTest's sources, which the Windows build compiles itself. Safe to run again.
set -euo pipefail
packages=(g++-mingw-w64-x86-64-posix wine wine64 googletest libcli11-dev nlohmann-json3-dev)
missing=()
for p in "${packages[@]}"; do
    dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    $sudo apt-get update
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
fi
