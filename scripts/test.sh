#!/usr/bin/env bash
# Installs what Tavik needs, then builds and runs every test: the plain build, the AddressSanitizer +
# UndefinedBehaviorSanitizer build, the transfer tests under ThreadSanitizer, and a short fuzzing run.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/scripts/install-deps.sh"
export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)

build() { # name, extra cmake arguments...
    local name=$1; shift
    cmake -S "$here" -B "$here/build/$name" -G Ninja "$@" >/dev/null
    cmake --build "$here/build/$name" -j "$jobs"
}

build release -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAVIK_BUILD_BENCH=ON
ctest --test-dir "$here/build/release" --output-on-failure -j "$jobs"

build asan -DCMAKE_BUILD_TYPE=Debug -DTAVIK_SANITIZE=address,undefined -DTAVIK_BUILD_GUI=OFF
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir "$here/build/asan" --output-on-failure -j "$jobs"

if [ -f "$here/scripts/test-extra.sh" ]; then
    "$here/scripts/test-extra.sh"
fi
