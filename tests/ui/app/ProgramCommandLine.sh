#!/bin/sh
# tavik --help, --version and a wrong option answer and exit without a display: no window system is
# started for them. Run by ctest with a time limit: a program that opens its window instead never ends.
# Usage: ProgramCommandLine.sh TAVIK VERSION
tavik=$1
version=$2
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
failed=0
check() { # what, command...
    what=$1
    shift
    if "$@"; then echo "ok: $what"; else echo "FAILED: $what"; failed=1; fi
}
out=$("$tavik" --help 2>&1)
check "--help exits 0" test $? -eq 0
check "--help names the options" sh -c 'printf "%s" "$1" | grep -q -- "--export-pdf FILE.zmg OUT.pdf" &&
    printf "%s" "$1" | grep -q -- "--version"' sh "$out"
out=$("$tavik" --version 2>&1)
check "--version exits 0" test $? -eq 0
check "--version prints 'Tavik $version'" test "$out" = "Tavik $version"
out=$("$tavik" --no-such-option 2>&1)
check "a wrong option exits 2" test $? -eq 2
check "a wrong option is named" sh -c 'printf "%s" "$1" | grep -q "unknown option .--no-such-option."' sh "$out"
exit $failed
