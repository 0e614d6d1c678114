#!/usr/bin/env bash
# Usage: check_completion.sh COMPLETION_FILE TAVCLI
# Loads tavcli's bash completion as bash-completion would and completes a
# command, an option's values and a command's option. Exits 77 (skipped)
# without the bash-completion package.
set -uo pipefail
framework=/usr/share/bash-completion/bash_completion
[ -f "$framework" ] || { echo "SKIP: bash-completion is not installed"; exit 77; }
# shellcheck disable=SC1090
. "$framework"
. "$1" || { echo "FAIL: the completion does not load"; exit 1; }
PATH="$(dirname "$2"):$PATH"

complete_line() {
    COMP_LINE="$*"
    read -r -a COMP_WORDS <<<"$COMP_LINE"
    [ "${COMP_LINE: -1}" = " " ] && COMP_WORDS+=("")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMP_POINT=${#COMP_LINE}
    COMPREPLY=()
    _tavcli
    echo "${COMPREPLY[*]}"
}
status=0
expect() {
    local got
    got="$(complete_line "$1")"
    [ "$got" = "$2" ] || { echo "FAIL: '$1' completes to '$got', not '$2'"; status=1; }
}
expect "tavcli get-" "get-config"
expect "tavcli info --module T" "TAV1 TAV2 TREKON"
expect "tavcli import-config --ver" "--verify"
[ $status -eq 0 ] && echo "completion OK"
exit $status
