#!/usr/bin/env bash
# tavik-cli download and upload against the simulated unit, with the Linux build and with the Windows build
# under wine, in one run. Both must give the same exit codes and the same messages for the same faults (the
# system's own wording of an error, in parentheses, may differ), nothing may hang past its limit, and both
# transfers are timed against the protocol's own waits.
# Usage: TransferOnBothSystems.sh LINUX_BUILD_DIR WINDOWS_BUILD_DIR
# Uses the wine prefix in WINEPREFIX when one is given, else makes its own in a temporary folder.
set -uo pipefail
linux_build=$(cd "$1" && pwd)
windows_build=$(cd "$2" && pwd)
sim=$linux_build/tools/zemra-sim/zemra-sim
work=$(mktemp -d /tmp/tavik-both-XXXXXX)
sim_pid=""
own_prefix=""
cleanup() {
    [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null
    [ -n "$own_prefix" ] && wineserver -k 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
now() { date +%s.%N; }
minus() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.1f", a - b }'; }

# The port COM5 of the wine prefix is a link to the simulator's pseudo-terminal.
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
if [ -z "${WINEPREFIX:-}" ]; then
    own_prefix=1
    export WINEPREFIX=$work/wine
    mkdir -p "$WINEPREFIX"
    wineserver -p 600 >/dev/null 2>&1 # kept up between the runs below, so that each starts in about a second
    start=$(now)
    wineboot -i >/dev/null 2>&1 || { echo "the wine prefix could not be created"; exit 1; }
    echo "wine prefix created in $(minus "$(now)" "$start") s"
fi
mkdir -p "$work/bin"
cp "$windows_build/tools/tavik-cli/tavik-cli.exe" "$windows_build/serial/lynserial.dll" "$work/bin/"

failures=0
cases=0

start_sim() { # simulator options...
    rm -f "$work/port"
    "$sim" --link "$work/port" "$@" >/dev/null 2>&1 &
    sim_pid=$!
    for _ in $(seq 100); do [ -L "$work/port" ] && break; sleep 0.05; done
    ln -sfn "$(readlink "$work/port")" "$WINEPREFIX/dosdevices/com5"
}
stop_sim() {
    [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null && wait "$sim_pid" 2>/dev/null
    sim_pid=""
}

# cli SYSTEM PORT ARGS...: runs tavik-cli, at most 120 s; sets code, text (stderr with the port named PORT)
# and seconds.
cli() {
    local system=$1 port=$2
    shift 2
    local t0
    t0=$(now)
    if [ "$system" = linux ]; then
        timeout 120 "$linux_build/tools/tavik-cli/tavik-cli" "$@" --port "$port" 2>"$work/err" >/dev/null
    else
        timeout 120 wine "$work/bin/tavik-cli.exe" "$@" --port "$port" 2>"$work/err" >/dev/null
    fi
    code=$?
    seconds=$(minus "$(now)" "$t0")
    retries=$(grep -c "retrying" "$work/err")
    # A retried transfer tells of it and shows its progress again: compared is what it came to.
    text=$(tr -d '\r' <"$work/err" | sed -e "s#$port#PORT#g" -e 's/ ([^()]*)\.\( (message\|$\)/.\1/' |
        grep -v -e "retrying" -e '^$' | awk '!seen[$0]++')
}

# check NAME EXPECTED_CODE: compares the last Linux and Windows results.
check() {
    local name=$1 expected=$2
    cases=$((cases + 1))
    if [ "$linux_code" != "$expected" ] || [ "$code" != "$expected" ] || [ "$linux_text" != "$text" ]; then
        failures=$((failures + 1))
        echo "FAILED: $name (exit codes: Linux $linux_code, Windows $code, expected $expected)"
        diff <(echo "$linux_text") <(echo "$text") | sed 's/^/    /'
    else
        echo "ok: $name"
    fi
}

# both NAME EXPECTED_CODE SIMULATOR_OPTIONS -- CLI_ARGS: the same case on both systems.
both() {
    local name=$1 expected=$2
    shift 2
    local sim_args=()
    while [ "$1" != "--" ]; do sim_args+=("$1"); shift; done
    shift
    start_sim "${sim_args[@]}"
    cli linux "$work/port" "$@"
    linux_code=$code linux_text=$text linux_seconds=$seconds linux_retries=$retries
    [ -n "${linux_result:-}" ] && mv "$linux_result" "linux-$linux_result"
    stop_sim
    start_sim "${sim_args[@]}"
    cli windows COM5 "$@"
    stop_sim
    check "$name" "$expected"
}

cd "$work"
"$linux_build/tools/tavik-cli/tavik-cli" new unit.zmg
# A device number the factory memory does not have, so that a block the unit fails to store reads back wrong.
"$linux_build/tools/tavik-cli/tavik-cli" edit unit.zmg general 3 1 17 >/dev/null

# The whole transfer both ways, timed. The unit is given its fixed 100 ms to answer; on a loaded machine an
# answer may come later, so these may retry (as a technician would), which the times then show.
linux_result=got.zmg both "download" 0 -- download got.zmg --retries 2
download_linux=$linux_seconds download_windows=$seconds
download_retries="$linux_retries on Linux, $retries under wine"
cmp -s linux-got.zmg got.zmg || { failures=$((failures + 1)); echo "FAILED: the two downloads differ"; }
# An upload reads the unit first and writes only what differs: the unit holds got.zmg, so it writes nothing.
# Its backup goes to the same relative path on both systems (never into the user's own folders), so that the
# two report it alike.
both "upload" 0 -- upload got.zmg --retries 2 --backup prev.zmg
upload_linux=$linux_seconds upload_windows=$seconds
upload_retries="$linux_retries on Linux, $retries under wine"

# Every simulated fault, on the first General block, without retries: the answer faults in a download, the
# store faults in an upload.
for kind in noanswer short long checksum late; do
    both "fault $kind" 1 --fault "general/0:$kind" -- download out.zmg --retries 0
done
for kind in flip nostore; do
    both "fault $kind" 1 --fault "general/0:$kind" -- upload unit.zmg --retries 0 --backup prev.zmg
done

# A port that is not there.
cli linux "$work/no-such-port" download out.zmg
linux_code=$code linux_text=$text
cli windows COM200 download out.zmg
check "missing port" 1

# A port in use: a slow transfer holds it while a second one tries.
for system in linux windows; do
    port=$work/port
    [ $system = windows ] && port=COM5
    start_sim --answer-ms 300
    if [ $system = linux ]; then
        "$linux_build/tools/tavik-cli/tavik-cli" download held.zmg --port "$port" 2>/dev/null &
    else
        wine "$work/bin/tavik-cli.exe" download held.zmg --port "$port" 2>/dev/null &
    fi
    holder=$!
    sleep 3
    cli $system "$port" download out.zmg
    kill "$holder" 2>/dev/null
    wait "$holder" 2>/dev/null
    stop_sim
    [ $system = linux ] && linux_code=$code linux_text=$text
done
check "port in use" 1

# The simulator goes away in the middle of a download.
for system in linux windows; do
    port=$work/port
    [ $system = windows ] && port=COM5
    start_sim
    (sleep 3 && kill "$sim_pid") &
    killer=$!
    cli $system "$port" download out.zmg --retries 0
    wait "$killer" 2>/dev/null
    wait "$sim_pid" 2>/dev/null
    sim_pid=""
    [ $system = linux ] && linux_code=$code linux_text=$text
done
# Where the transfer stood when the port went (the row named before the reason) differs by timing; the
# message must not.
linux_text=$(echo "$linux_text" | sed 's/data: [^:]*: port error/data: port error/')
text=$(echo "$text" | sed 's/data: [^:]*: port error/data: port error/')
check "vanished simulator" 1

# The desktop program's own Download and Upload from its main window, at the unit's pace, with the retry
# question answered (tests/ui/transfer/TransferNamedPortTest.cpp): the Linux program on the simulator's pseudo-terminal,
# the Windows program under wine on COM5 (Qt's DLLs and plug-ins as the caller set WINEPATH and
# QT_PLUGIN_PATH). The simulator leaves the first answer out once, so that Retry is needed.
declare -A gui_seconds
for system in linux windows; do
    start_sim --fault general/0:noanswer:1
    export QT_QPA_PLATFORM=offscreen
    if [ $system = linux ]; then
        TAVIK_TEST_PORT=$work/port timeout 300 "$linux_build/tests/ui/test_ui" \
            --gtest_filter='TransferNamedPort.*' >"$work/gui.log" 2>&1
    else
        TAVIK_TEST_PORT=COM5 timeout 300 wine "$windows_build/tests/ui/test_ui.exe" \
            --gtest_filter='TransferNamedPort.*' >"$work/gui.log" 2>&1
    fi
    code=$?
    stop_sim
    cases=$((cases + 1))
    if [ $code -ne 0 ] || ! grep -q '^\[  PASSED  \] 1 test' <(tr -d '\r' <"$work/gui.log"); then
        failures=$((failures + 1))
        echo "FAILED: the desktop program's transfers on $system"
        tr -d '\r' <"$work/gui.log" | grep -v '^$' | tail -n 20 | sed 's/^/    /'
    else
        echo "ok: the desktop program's transfers on $system"
    fi
    for transfer in download upload; do
        gui_seconds[$system-$transfer]=$(tr -d '\r' <"$work/gui.log" | sed -n "s/^$transfer: \([0-9.]*\) s$/\1/p")
    done
done

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
echo "download: Linux ${download_linux} s ($(ratio "$download_linux" 8.7) x the protocol's 8.7 s)," \
    "Windows under wine ${download_windows} s ($(ratio "$download_windows" 8.7) x); retries: $download_retries"
echo "upload of what the unit holds: Linux ${upload_linux} s ($(ratio "$upload_linux" 8.7) x the protocol's" \
    "8.7 s), Windows under wine ${upload_windows} s ($(ratio "$upload_windows" 8.7) x); retries: $upload_retries"
# The desktop program's upload reads the unit and writes one changed block: 8.7 s + 0.3 s.
for transfer in download:8.7 upload:9.0; do
    name=${transfer%%:*} wait=${transfer##*:}
    linux=${gui_seconds[linux-$name]:-0} windows=${gui_seconds[windows-$name]:-0}
    [ "$name" = download ] && name="download (one retry)"
    echo "desktop program $name: Linux ${linux} s ($(ratio "$linux" "$wait") x the" \
        "protocol's $wait s), Windows under wine ${windows} s ($(ratio "$windows" "$wait") x)"
done
echo "windows transfers: $((cases - failures)) passed, $failures failed"
[ "$failures" -eq 0 ]
