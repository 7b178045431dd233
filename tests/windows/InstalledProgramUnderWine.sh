#!/usr/bin/env bash
# The Windows installer and the installed program under wine, in a fresh wine prefix, as a technician meets
# them: a silent install puts the files in Program Files\Tavik, the Start menu entry and the .zmg file type in
# place; the installed tavik-cli.exe makes and reads a document; the installed tavik.exe writes a PDF report
# with the same text as the Linux program's, and opens a document in its window on a display (Xvfb, with the
# Windows platform); both programs carry their manifest and the one maker, product and version, which Add/Remove
# Programs shows too; a silent uninstall takes all of it away again.
# Usage: InstalledProgramUnderWine.sh INSTALLER.exe LINUX_BUILD_DIR [SCREENSHOT.png]
set -uo pipefail
installer=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
linux_build=$(cd "$2" && pwd)
screenshot=${3:-}
work=$(mktemp -d /tmp/tavik-installed-XXXXXX)
xvfb_pid=""
cleanup() {
    wineserver -k 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
now() { date +%s.%N; }
minus() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.1f", a - b }'; }
failures=0
cases=0
check() { # NAME COMMAND...: one case, passed when the command succeeds
    local name=$1
    shift
    cases=$((cases + 1))
    if "$@"; then
        echo "ok: $name"
    else
        failures=$((failures + 1))
        echo "FAILED: $name"
    fi
}

# A display of our own: wine's windows need one, and so does the Windows platform.
if [ -z "${DISPLAY:-}" ]; then
    for n in $(seq 90 99); do [ -e "/tmp/.X11-unix/X$n" ] || break; done
    Xvfb ":$n" -screen 0 1280x900x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    export DISPLAY=":$n"
    for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
    command -v openbox >/dev/null && openbox >/dev/null 2>&1 &
fi

export WINEPREFIX=$work/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$WINEPREFIX"
wineserver -p 600 >/dev/null 2>&1
wineboot -i >/dev/null 2>&1 || { echo "the wine prefix could not be created"; exit 1; }
programs="$WINEPREFIX/drive_c/Program Files/Tavik"
start_menu="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Tavik"
registry() { wine reg query "$1" /ve 2>/dev/null | tr -d '\r' | sed -n 's/.*REG_SZ *//p'; }

# waits until COMMAND... succeeds, at most 60 s
await() {
    for _ in $(seq 600); do "$@" && return 0; sleep 0.1; done
    return 1
}

# Install, silently; wine returns when the installer has ended.
wine "$installer" /S >/dev/null 2>&1
files_installed() {
    local missing=0
    for file in tavik.exe tavik-cli.exe lynserial.dll Qt6Core.dll Qt6Gui.dll Qt6Widgets.dll \
        Qt6PrintSupport.dll platforms/qwindows.dll styles/qwindowsvistastyle.dll help.html \
        licenses/Qt/LGPL-3.0-only.txt license.txt Uninstall.exe; do
        [ -f "$programs/$file" ] || { echo "    missing: $file"; missing=1; }
    done
    [ -f "$start_menu/Tavik Programmer.lnk" ] || { echo "    missing: the Start menu entry"; missing=1; }
    return $missing
}
check "silent install puts the files in Program Files\\Tavik" files_installed
zmg_registered() {
    [ "$(registry 'HKCR\.zmg')" = Tavik.Document ] &&
        registry 'HKCR\Tavik.Document\shell\open\command' | grep -q 'C:\\Program Files\\Tavik\\tavik.exe' &&
        registry 'HKCR\Tavik.Document\DefaultIcon' | grep -q 'tavik.exe,0'
}
check ".zmg documents open with Tavik, with its icon" zmg_registered

# One maker, one product name, one version: in both programs' version resources, in the licence the
# installer showed, and in Add/Remove Programs. The version is the one in the installer's name.
version=$(basename "$installer" | sed -n 's/^Tavik-\(.*\)-win64\.exe$/\1/p')
resource_value() { # PROGRAM KEY: a string of the version resource (UTF-16 in the file)
    strings -el "$programs/$1" | grep -A1 -x "$2" | sed -n 2p
}
identity() {
    local program ok=0
    for program in tavik.exe tavik-cli.exe; do
        for pair in "CompanyName=Brant" "ProductName=Tavik" "ProductVersion=$version" "FileVersion=$version" \
            "LegalCopyright=Copyright (C) 2026 Brant"; do
            [ "$(resource_value "$program" "${pair%%=*}")" = "${pair#*=}" ] ||
                { echo "    $program: ${pair%%=*} is '$(resource_value "$program" "${pair%%=*}")'"; ok=1; }
        done
    done
    local uninstall='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tavik'
    for pair in "DisplayName=Tavik $version" "DisplayVersion=$version" "Publisher=Brant"; do
        [ "$(wine reg query "$uninstall" /v "${pair%%=*}" 2>/dev/null | tr -d '\r' | sed -n 's/.*REG_SZ *//p')" = \
            "${pair#*=}" ] || { echo "    Add/Remove Programs: ${pair%%=*} is not '${pair#*=}'"; ok=1; }
    done
    grep -q "^Tavik $version\$" "$programs/license.txt" && grep -q "Lesser General Public License" \
        "$programs/license.txt" || { echo "    license.txt"; ok=1; }
    return $ok
}
check "maker Brant, product Tavik and version $version in both programs and Add/Remove Programs" identity
# The application manifest, in both programs: supported systems, per-monitor DPI, common controls 6.
manifests() {
    local program ok=0
    for program in tavik.exe tavik-cli.exe; do
        for text in '{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}' PerMonitorV2 'true/pm' \
            'Microsoft.Windows.Common-Controls" version="6.0.0.0"' 'level="asInvoker"'; do
            grep -a -q -F "$text" "$programs/$program" || { echo "    $program: no $text"; ok=1; }
        done
    done
    return $ok
}
check "both programs carry the application manifest" manifests

# The installed command-line tool, as from a command prompt.
cd "$work"
cli() { wine "$programs/tavik-cli.exe" "$@" 2>&1 | tr -d '\r'; }
cli_works() {
    cli new unit.zmg >/dev/null && cli edit unit.zmg general 3 1 17 >/dev/null &&
        cli dump unit.zmg >dump.txt && grep -q 'Device Number *17' dump.txt
}
check "the installed tavik-cli.exe makes, edits and dumps a document" cli_works

# The installed program's report against the Linux program's, word for word. Wine's fonts are wider, so
# columns are placed, lines break and pages end elsewhere (a table's heading comes again on each page it
# runs onto): compared is which words stand in it, row titles, headings and values, without the title block.
report_words() {
    pdftotext -layout "$1" - | grep -v -E 'Page [0-9]+ of [0-9]+|Printed [0-9]{4}-|Programmer Version' |
        tr -s ' \t\f\n' '\n' | grep -v -x -e '' -e '(continued)' | sort -u
}
same_report() {
    wine "$programs/tavik.exe" --export-pdf windows.pdf unit.zmg >/dev/null 2>&1 || return 1
    QT_QPA_PLATFORM=offscreen "$linux_build/ui/tavik" --export-pdf linux.pdf unit.zmg 2>/dev/null || return 1
    diff <(report_words linux.pdf) <(report_words windows.pdf) >report.diff || {
        head -n 20 report.diff | sed 's/^/    /'
        return 1
    }
    echo "    pages: Linux $(pdfinfo linux.pdf | awk '/^Pages/ { print $2 }')," \
        "Windows $(pdfinfo windows.pdf | awk '/^Pages/ { print $2 }')"
}
check "the installed tavik.exe --export-pdf writes the Linux program's report" same_report

# The window: from the start to the main window shown with the document's name in its title.
window_shown() {
    local t0 window
    t0=$(now)
    wine "$programs/tavik.exe" 'C:\users\Public\unit.zmg' >/dev/null 2>&1 &
    window=$(timeout 60 xdotool search --sync --onlyvisible --name '^unit\.zmg' 2>/dev/null | head -n1)
    [ -n "$window" ] || return 1
    echo "    first window after $(minus "$(now)" "$t0") s: $(xdotool getwindowname "$window")"
    if [ -n "$screenshot" ] && command -v import >/dev/null; then
        sleep 2 # the first paint
        import -window root "$screenshot" && echo "    screenshot: $screenshot"
    fi
    # Closed as from the task list: the program gets WM_CLOSE and ends by itself.
    wine taskkill /im tavik.exe >/dev/null 2>&1
    await eval '! pgrep -f "Tavik.tavik\.exe" >/dev/null' || echo "    tavik.exe did not end after WM_CLOSE"
}
cp unit.zmg "$WINEPREFIX/drive_c/users/Public/unit.zmg"
check "the installed tavik.exe opens a document in its window" window_shown

# Uninstall, silently: the uninstaller copies itself away and goes on from there, so its work is waited for.
wine "$programs/Uninstall.exe" /S >/dev/null 2>&1
nothing_left() {
    [ ! -e "$programs" ] && [ ! -e "$start_menu" ] &&
        [ -z "$(registry 'HKCR\.zmg')" ] && [ -z "$(registry 'HKCR\Tavik.Document\shell\open\command')" ]
}
check "silent uninstall removes the files, the Start menu entry and the file type" await nothing_left

# The installer's pages, by keyboard as a technician goes through them: welcome, the licence (I Agree), the
# folder, the Start menu folder, the installation, and the last page, whose "Start Tavik" box is ticked:
# Finish starts the program. With a screenshot path, each page is kept beside it.
shoot() { # NAME
    [ -n "$screenshot" ] && command -v import >/dev/null && import -window root "${screenshot%.png}-$1.png"
    return 0
}
pages_and_start() {
    local setup page window
    wine "$installer" >/dev/null 2>&1 &
    setup=$(timeout 60 xdotool search --sync --onlyvisible --name '^Tavik Setup$' 2>/dev/null | head -n1)
    [ -n "$setup" ] || { echo "    no installer window"; return 1; }
    for page in welcome licence folder startmenu; do
        sleep 2
        shoot "installer-$page"
        xdotool windowactivate --sync "$setup" key Return 2>/dev/null
    done
    await test -f "$programs/Uninstall.exe" || { echo "    nothing installed"; return 1; }
    sleep 3
    shoot installer-finish
    xdotool windowactivate --sync "$setup" key Return 2>/dev/null
    # Searched again and again rather than with --sync: the installer's windows vanish meanwhile, and a
    # window gone while xdotool reads it ends that search.
    program_window() { window=$(xdotool search --onlyvisible --name 'Brant Tavik Programmer$' 2>/dev/null | head -n1); [ -n "$window" ]; }
    await program_window || { echo "    Finish did not start Tavik"; return 1; }
    echo "    started by Finish: $(xdotool getwindowname "$window")"
    wine taskkill /im tavik.exe >/dev/null 2>&1
    await eval '! pgrep -f "Tavik.tavik\.exe" >/dev/null'
}
check "the installer's pages by keyboard; Start Tavik on the last page starts the program" pages_and_start
wine "$programs/Uninstall.exe" /S >/dev/null 2>&1
await nothing_left

echo "installer under wine: $((cases - failures)) passed, $failures failed"
[ "$failures" -eq 0 ]
