#!/usr/bin/env bash
# Usage: check_manpage.sh PAGE.1.gz TAVCLI
# The manual page of tavcli names every command its help lists, with the
# exit statuses. Exits 77 (skipped) when the page was not built (no help2man).
set -euo pipefail
[ -f "$1" ] || { echo "SKIP: $1 not built (help2man is not installed)"; exit 77; }
page="$(zcat "$1" | man -l -Tutf8 - 2>/dev/null | col -b)"
status=0
for command in $("$2" --help | sed -n 's/^  \([a-z][a-z-]*\).*/\1/p'); do
    grep -q "tavcli $command\b" <<<"$page" || { echo "FAIL: the page lacks the command $command"; status=1; }
done
for section in "EXIT STATUS" EXAMPLES; do
    grep -q "^$section" <<<"$page" || { echo "FAIL: the page lacks $section"; status=1; }
done
[ $status -eq 0 ] && echo "manual page OK"
exit $status
