#!/usr/bin/env bash
# Installs what Tavik needs, then builds and runs every test: the plain build, the AddressSanitizer +
# UndefinedBehaviorSanitizer build, the transfer tests under ThreadSanitizer, short fuzzing runs, the
# Windows cross build under wine, and the Release build with its Debian package.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/scripts/install-deps.sh"
export QT_QPA_PLATFORM=offscreen
# A compiler cache keyed on paths inside this checkout: a second run, or another clone, rebuilds only what
# changed.
if command -v ccache >/dev/null; then
    export CMAKE_CXX_COMPILER_LAUNCHER=ccache CMAKE_C_COMPILER_LAUNCHER=ccache CCACHE_BASEDIR="$here"
fi
jobs=$(nproc)

summary="$here/build/test-summary.log"
mkdir -p "$here/build" && : > "$summary"
run_ctest() { # build name, extra ctest arguments...; keeps the output for the closing count
    local name=$1; shift
    ctest --test-dir "$here/build/$name" --output-on-failure -j "$jobs" "$@" | tee -a "$summary"
}

build() { # name, extra cmake arguments...; warnings are errors here
    local name=$1; shift
    cmake -S "$here" -B "$here/build/$name" -G Ninja -DTAVIK_WERROR=ON "$@" >/dev/null
    cmake --build "$here/build/$name" -j "$jobs"
}

build release -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAVIK_BUILD_BENCH=ON
run_ctest release

build asan -DCMAKE_BUILD_TYPE=Debug -DTAVIK_SANITIZE=address,undefined -DTAVIK_BUILD_GUI=OFF
# The transfer at the unit's real pace runs in the plain build only (label "realtime").
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 run_ctest asan -LE realtime

# The transfer tests under ThreadSanitizer: the transfer worker, the polling of its progress, and the
# simulated unit on its own thread. Only their program is built.
cmake -S "$here" -B "$here/build/tsan" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAVIK_SANITIZE=thread \
    -DTAVIK_BUILD_GUI=OFF -DTAVIK_WERROR=ON >/dev/null
cmake --build "$here/build/tsan" -j "$jobs" --target test_link
TSAN_OPTIONS=halt_on_error=1 run_ctest tsan -R Transfer -LE realtime

# Fuzzing: the document loader and the decoding of the unit's messages, briefly, from the seed corpora.
CXX=clang++ build fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAVIK_BUILD_FUZZ=ON -DTAVIK_BUILD_GUI=OFF \
    -DTAVIK_BUILD_TESTS=OFF -DTAVIK_SANITIZE=address,undefined
seeds="$here/build/fuzz/seeds"
rm -rf "$seeds" && "$here/build/fuzz/fuzz/make-fuzz-seeds" "$seeds"
# The two fuzzers run side by side, one a core.
fuzzers=()
for target in FuzzDocumentLoad:document FuzzBlockDecode:message; do
    name=${target%%:*}
    corpus="$here/build/fuzz/corpus-${name}"
    mkdir -p "$corpus"
    "$here/build/fuzz/fuzz/$name" -max_total_time="${TAVIK_FUZZ_SECONDS:-30}" -rss_limit_mb=2048 \
        -artifact_prefix="$here/build/fuzz/" \
        "$corpus" "$seeds/${target##*:}" 2>"$here/build/fuzz/$name.log" &
    fuzzers+=("$!:$name")
done
for fuzzer in "${fuzzers[@]}"; do
    name=${fuzzer##*:}
    if ! wait "${fuzzer%%:*}"; then
        tail -n 40 "$here/build/fuzz/$name.log"
        echo "fuzz: $name failed"
        exit 1
    fi
done
echo "fuzz: passed"

# --- Windows stage -------------------------------------------------------------------------------------
# The mingw-w64 cross build: its tests under wine, and tavik-cli.exe's transfers against the simulator beside
# the Linux build's (scripts/test-windows.sh installs its own packages).
bash "$here/scripts/test-windows.sh" "$here/build/release"
# ------------------------------------------------------------------------------------------------------

# Release, as a packager builds it, and the Debian package made from it (contents checked).
"$here/scripts/package.sh"

# One closing count over the three test runs (ctest has already failed the script on any failure).
awk '/tests failed out of/ { total += $NF; failed += $4 } /\(Skipped\)/ { skipped++ }
     END { printf "tests: %d passed, %d failed, %d skipped\n", total - failed - skipped, failed, skipped }' "$summary"
