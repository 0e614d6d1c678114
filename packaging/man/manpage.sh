#!/usr/bin/env bash
# Usage: manpage.sh PROGRAM OUTPUT.1.gz SUMMARY [INCLUDE.h2m]
# Writes the manual page of PROGRAM (an executable's path) from its own
# --help and --version, so that page and help cannot drift. For tavcli, the
# options of each command come from 'tavcli COMMAND --help'. The page is
# dated from SOURCE_DATE_EPOCH and compressed without a time stamp.
set -euo pipefail
program="$1"
output="$2"
summary="$3"
include="${4:-}"
name="$(basename "$program")"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
# Run by its name, with a home of its own, so that no build path or user
# setting shows in the page.
export PATH="$(cd "$(dirname "$program")" && pwd):$PATH" QT_QPA_PLATFORM=offscreen LC_ALL=C.UTF-8 \
    HOME="$work" XDG_CONFIG_HOME="$work" XDG_RUNTIME_DIR="$work"
extra=()
[ -n "$include" ] && extra+=(--include "$include")

if [ "$name" = tavcli ]; then
    # One entry per command: its usage line, what it does, and the options
    # it adds to the common ones.
    common="$(tavcli --help | sed -n '/^Options:/,$p' | grep -o '^  \(-[a-z], \)\?--[a-z-]*' | sed 's/.*--//')"
    {
        echo "[COMMANDS]"
        tavcli --help | sed -n 's/^  \([a-z][a-z-]*\)\( .*\)\?$/\1/p' | while read -r command; do
            help="$(tavcli "$command" --help)"
            echo ".TP"
            echo "$help" | sed -n '1s/^Usage: tavcli \[options\] \(.*\)$/.B tavcli \1/p'
            echo "$help" | sed -n '2p' | sed 's/^-/\\-/'
            echo "$help" | sed -n '/^Arguments:/,$p' | sed -n 's/^  \([A-Z.]*\) \+\(.*\)$/.br\n\\fI\1\\fR: \2/p'
            echo "$help" | sed -n '/^Options:/,/^$/p' | awk -v common="$common" '
                BEGIN { n = split(common, c, "\n"); for (i = 1; i <= n; i++) skip[c[i]] = 1 }
                function flush() {
                    if (name != "" && !skip[key]) { gsub(/-/, "\\-", name); print ".br"; print "\\fB" name "\\fR: " text }
                    name = ""
                }
                /^  -/ {
                    flush()
                    line = $0; sub(/^ +/, "", line)
                    split(line, parts, /  +/)
                    name = parts[1]; text = parts[2]
                    key = name; sub(/^-[a-z], /, "", key); sub(/^--/, "", key); sub(/ .*/, "", key)
                    next
                }
                /^     / { line = $0; sub(/^ +/, "", line); text = text " " line; next }
                END { flush() }'
        done
        [ -n "$include" ] && cat "$include"
    } >"$work/include.h2m"
    extra=(--include "$work/include.h2m")
fi

# The page is named after the executable, whatever name --version gives.
version="$("$name" --version 2>/dev/null | awk 'END { print $NF }')"
SOURCE_DATE_EPOCH="${SOURCE_DATE_EPOCH:-0}" help2man --no-info --section 1 --version-string "$version" \
    --name "$summary" "${extra[@]}" --output "$work/$name.1" "$name"
gzip -9 -n -c "$work/$name.1" >"$output"
