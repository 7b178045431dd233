#!/usr/bin/env bash
# Builds Qt 6 for 64-bit Windows (mingw-w64) from Debian's own Qt sources, of the same version as the host's
# Qt tools, and installs it into a cache outside the checkout. The cache is keyed by Qt's version, this script,
# the toolchain file and the compiler, so a later run (or another clone) reuses it and a changed option
# rebuilds.
# Prints the installed prefix on its last line.
#
# Only what the program needs is built: Core, Gui, Widgets, PrintSupport and Test, with the Windows and the
# offscreen platform plugins (the offscreen one runs the GUI tests without a display; it needs FreeType, and
# Qt's bundled copy serves). Everything else is switched off to keep the build short.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
toolchain=$here/cmake/mingw-w64-x86_64.cmake

qt_version=$(dpkg-query -W -f='${Version}' qt6-base-dev) # e.g. 6.4.2+dfsg-10
compiler=$(x86_64-w64-mingw32-g++-posix --version | head -n1)
key=$( (echo "$qt_version $compiler"; grep -h -v '^#' "$0" "$toolchain") | sha256sum | cut -c1-12)
cache_root=${TAVIK_QT_WINDOWS_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/tavik-qt-windows}
prefix=$cache_root/qt-${qt_version%%+*}-$key
if [ -f "$prefix/.complete" ]; then
    echo "Qt for Windows: cached in $prefix" >&2
    echo "$prefix"
    exit 0
fi

work=$cache_root/work-$key
rm -rf "$work" "$prefix"
mkdir -p "$work/lists/partial"
start=$(date +%s)

# Debian's source of the host's Qt, through a private source list so that the system's apt configuration is
# left as it is: the same mirror and release as the system's own packages.
mirror=$(grep -h -o -E -m1 'https?://[^ ]*/debian/?( |$)' /etc/apt/sources.list /etc/apt/sources.list.d/* \
    2>/dev/null | head -n1 | tr -d ' ' || true)
mirror=${mirror:-http://deb.debian.org/debian}
codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
printf 'deb-src %s %s main\ndeb-src %s %s-updates main\n' "$mirror" "$codename" "$mirror" "$codename" \
    >"$work/sources.list"
# apt checks the source package against the signed release files; the download runs as the calling user.
apt_private=(-o Dir::Etc::sourcelist="$work/sources.list" -o Dir::Etc::sourceparts=- -o Dir::State::Lists="$work/lists"
    -o APT::Sandbox::User="$(id -un)")
apt-get "${apt_private[@]}" update >"$work/source.log" 2>&1
(cd "$work" && apt-get "${apt_private[@]}" source --download-only "qt6-base=$qt_version" >>"$work/source.log" 2>&1) ||
    { cat "$work/source.log" >&2; exit 1; }
dpkg-source --no-check -x "$work"/qt6-base_*.dsc "$work/src" >>"$work/source.log" 2>&1 ||
    { cat "$work/source.log" >&2; exit 1; }
echo "Qt for Windows: sources of qt6-base $qt_version unpacked in $(($(date +%s) - start)) s" >&2

off=(
    # Modules the program does not use.
    network sql dbus xml concurrent opengl vulkan
    # Graphics back ends: the raster engine draws everything. Debian dropped Qt's bundled wintab.h, which the
    # tablet support needs, and Qt 6.4 refers to its OpenGL context unless dynamic GL is off too. Qt 6.4
    # builds its DirectWrite font engine only with Direct2D, but prints with it whenever DirectWrite is on:
    # text is drawn with GDI's font engine instead.
    direct2d direct2d1_1 directwrite directwrite3 dynamicgl tabletevent opengles2 opengles3
    # Image formats beyond those built into Qt Gui (PNG, BMP, XPM): the icons are PNG.
    jpeg gif ico movie
    # Widgets and text features the program never shows (the print dialog needs the date and calendar ones).
    mdiarea dial lcdnumber fontcombobox fontdialog colordialog wizard keysequenceedit
    undocommand undostack undogroup undoview systemtrayicon textodfwriter textmarkdownreader
    textmarkdownwriter sessionmanager
    # The bundled and system libraries that are not needed once the above is off.
    zstd system_zlib system_pcre2 system_harfbuzz system_png system_freetype system_jpeg
)
features=()
for feature in "${off[@]}"; do features+=("-DFEATURE_$feature=OFF"); done

cmake -S "$work/src" -B "$work/build" -G Ninja --no-warn-unused-cli \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF -DBUILD_SHARED_LIBS=ON \
    -DFEATURE_freetype=ON -DFEATURE_testlib=ON -DFEATURE_printsupport=ON \
    "${features[@]}" >"$work/configure.log" 2>&1 || {
    tail -n 60 "$work/configure.log" >&2
    exit 1
}
echo "Qt for Windows: configured in $(($(date +%s) - start)) s" >&2
cmake --build "$work/build" -j "$(nproc)" >"$work/build.log" 2>&1 || {
    grep -n -B2 -A12 -E 'error|FAILED' "$work/build.log" | head -n 80 >&2
    exit 1
}
cmake --install "$work/build" >/dev/null
# Qt's licence texts travel with its DLLs.
cp -r "$work/src/LICENSES" "$prefix/LICENSES"
touch "$prefix/.complete"
rm -rf "$work"
echo "Qt for Windows: built and installed in $(($(date +%s) - start)) s" >&2
echo "$prefix"
