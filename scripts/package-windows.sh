#!/usr/bin/env bash
# The Windows installer: Qt for Windows (built once, then taken from its cache), the mingw-w64 build with the
# desktop program, and build/windows-package/Tavik-<version>-win64.exe made with CPack's NSIS generator.
# Usage: package-windows.sh [WINDOWS_BUILD_DIR] (default: a Release build in build/windows-release; the
# Windows stage of the tests passes its own build)
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/scripts/install-deps-windows.sh"
build=${1:-}
if [ -z "$build" ]; then
    build=$here/build/windows-release
    qt=$(bash "$here/scripts/build-qt-windows.sh" | tail -n1)
    cmake -S "$here" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-w64-x86_64.cmake" \
        -DTAVIK_QT_WINDOWS="$qt" -DCMAKE_BUILD_TYPE=Release -DTAVIK_BUILD_TESTS=OFF -DTAVIK_WERROR=ON \
        --no-warn-unused-cli >/dev/null
    cmake --build "$build" -j "$(nproc)"
fi
out=$here/build/windows-package
mkdir -p "$out"
# An installer of an earlier version left here would be taken for this one.
rm -f "$out"/Tavik-*-win64.exe
(cd "$build" && cpack -G NSIS -B "$out" >"$out/cpack.log") || { cat "$out/cpack.log"; exit 1; }
rm -rf "$out/_CPack_Packages"
installer=$(ls "$out"/Tavik-*-win64.exe)
echo "installer: $installer ($(du -h "$installer" | cut -f1))"
