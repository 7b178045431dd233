#!/usr/bin/env bash
# Installs what Tavik needs, builds it and starts the desktop program (arguments go to the program).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/scripts/install-deps.sh"
cmake -S "$here" -B "$here/build/release" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAVIK_BUILD_TESTS=OFF \
    -DTAVIK_WERROR=ON
cmake --build "$here/build/release"
exec "$here/build/release/ui/tavik" "$@"
