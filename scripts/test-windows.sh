#!/usr/bin/env bash
# The Windows stage: builds Qt for Windows once (scripts/build-qt-windows.sh keeps it in a cache), cross-builds
# LynSerial (lynserial.dll), tavik-cli.exe, the desktop program tavik.exe and the test programs that need no
# pseudo-terminal with mingw-w64, and runs those tests under wine. Then tavik-cli.exe's and the desktop
# program's transfers run under wine against the Linux simulator beside the Linux build's, timed; last, the
# installer is made and tried in a fresh wine prefix.
# Usage: test-windows.sh [LINUX_BUILD_DIR] (default build/release, which must hold tavik-cli and zemra-sim)
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
linux_build=${1:-$here/build/release}
windows_build=$here/build/windows
"$here/scripts/install-deps-windows.sh"
qt=$(bash "$here/scripts/build-qt-windows.sh" | tail -n1)
# A build tree made against another Qt starts afresh, so that no part of it is found in the old one.
grep -q -s "^TAVIK_QT_WINDOWS:.*=$qt\$" "$windows_build/CMakeCache.txt" || rm -f "$windows_build/CMakeCache.txt"

cmake -S "$here" -B "$windows_build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-w64-x86_64.cmake" \
    -DTAVIK_QT_WINDOWS="$qt" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAVIK_WERROR=ON --no-warn-unused-cli >/dev/null
cmake --build "$windows_build" -j "$(nproc)"

# One wine prefix for the whole stage, in a temporary folder.
prefix=$(mktemp -d /tmp/tavik-wine-XXXXXX)
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
trap 'wineserver -k 2>/dev/null; rm -rf "$prefix"' EXIT
start=$(date +%s)
wineserver -p 900 >/dev/null 2>&1 # started first and kept up, so that every run below starts in about a second
wineboot -i >/dev/null 2>&1
echo "wine prefix created in $(($(date +%s) - start)) s"

# The test programs find lynserial.dll beside them, and Qt's DLLs and plug-ins where it was installed; the
# desktop program's tests run on the offscreen platform.
cp "$windows_build/serial/lynserial.dll" "$windows_build/tests/"
cp "$windows_build/serial/lynserial.dll" "$windows_build/tests/ui/"
export WINEPATH QT_PLUGIN_PATH
WINEPATH=$(winepath -w "$qt/bin")
QT_PLUGIN_PATH=$(winepath -w "$qt/plugins")
passed=0
failed=0
for program in test_model test_sheets test_link test_serial ui/test_ui; do
    log=$windows_build/tests/$program.log
    if QT_QPA_PLATFORM=offscreen timeout 600 wine "$windows_build/tests/$program.exe" --gtest_brief=1 >"$log" 2>&1; then
        result=ok
    else
        result=FAILED
        cat "$log"
    fi
    count=$(tr -d '\r' <"$log" | sed -n 's/^\[  PASSED  \] \([0-9]*\) test.*/\1/p')
    bad=$(tr -d '\r' <"$log" | sed -n 's/^\[  FAILED  \] \([0-9]*\) test.*/\1/p')
    passed=$((passed + ${count:-0}))
    failed=$((failed + ${bad:-0}))
    # A program that stopped before its summary counts as one failure.
    [ $result = ok ] || [ -n "$bad" ] || failed=$((failed + 1))
    echo "$program.exe under wine: $result (${count:-0} passed)"
done
echo "windows unit tests: $passed passed, $failed failed"
[ "$failed" -eq 0 ]

bash "$here/tests/tools/TransferOnBothSystems.sh" "$linux_build" "$windows_build"
unset WINEPATH QT_PLUGIN_PATH

# The installer, and the installed program in a fresh prefix.
bash "$here/scripts/package-windows.sh" "$windows_build"
bash "$here/tests/windows/InstalledProgramUnderWine.sh" "$here"/build/windows-package/Tavik-*-win64.exe \
    "$linux_build" "$here/build/windows-package/tavik-under-wine.png"
