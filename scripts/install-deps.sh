#!/usr/bin/env bash
# Installs the Debian packages Tavik needs to build, test and run. Safe to run again.
set -euo pipefail
packages=(build-essential cmake ninja-build pkg-config
          qt6-base-dev qt6-base-dev-tools libgl-dev
          nlohmann-json3-dev libcli11-dev
          libgtest-dev libgmock-dev googletest libbenchmark-dev
          clang libclang-rt-dev
          shared-mime-info desktop-file-utils xvfb xauth poppler-utils libqt6svg6
          dpkg-dev file ccache lintian help2man)
# Another script may name its own packages instead (the Windows stage does).
[ $# -eq 0 ] || packages=("$@")
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
