#!/usr/bin/env bash
# Runs a window test or benchmark built with the sanitizers, and fails it on
# any leak of ours while tolerating the ones Qt Quick leaves at exit.
#
#   scripts/qt-leaks.sh PROGRAM [ARGUMENTS...]
#
# Qt Quick's pixmap and texture caches keep cycles of their own objects
# (images, textures, raster painters, the guards behind their QPointers)
# until exit; LeakSanitizer reports them as indirect leaks allocated inside a
# Qt library. ASan's fast unwinding stops at the first frame inside Qt, as
# Debian builds it without frame pointers, so frame #1 of each leak is the
# allocation's immediate caller. Tolerated: an indirect leak whose frame #1
# is in a Qt library. Failed: every direct leak (an object we lose is one,
# and what Qt allocated for it is indirect beneath it) and every indirect leak
# allocated by code of ours or of another library. Children the program
# starts (tavgui under tst_launch) are judged the same way.
set -uo pipefail

logs="$(mktemp -d)"
trap 'rm -rf "$logs"' EXIT
LSAN_OPTIONS="${LSAN_OPTIONS:+$LSAN_OPTIONS:}exitcode=0:log_path=$logs/report" "$@"
status=$?

shopt -s nullglob
reports=("$logs"/report.*)
[ ${#reports[@]} -eq 0 ] && exit "$status"
cat "${reports[@]}" >&2
ours="$(awk '
    /^(Direct|Indirect) leak of / { kind = $1; header = $0; want = 1; next }
    want && /^ *#1 / {
        if (kind == "Direct" || $0 !~ /\/libQt6[A-Za-z]*\.so/)
            print header "\n" $0
        want = 0
    }
    /^==[0-9]+==ERROR: AddressSanitizer/ { print }
' "${reports[@]}")"
if [ -n "$ours" ]; then
    echo "qt-leaks: leaks or errors not owned by Qt's caches:" >&2
    echo "$ours" | head -n 40 >&2
    exit 1
fi
exit "$status"
