#!/usr/bin/env bash
# Checks that the folders of src/ are the layers of docs/ARCHITECTURE.md:
# every file sits in a layer, includes only its own folder or a lower layer
# (by "folder/Name.h"; its own folder's files by bare name), and the facades
# stay at the top of their folder. The programs, tests and benchmarks name
# the folder of every core header they include, and no function runs over
# 60 lines. Prints each breach and exits 1 when there is one.
set -euo pipefail
root=${1:-"$(dirname "$0")/.."}
cd "$root"

# Rank of each layer, from the bottom; layers of one rank ignore each other.
declare -A rank=([log]=0 [protocol]=1 [serial]=1 [orbit]=1 [board]=2 [tx]=3 [manager]=4
    [provisioning]=5 [demo]=5 [ui]=6 [app]=7)
# The facades, and the one pattern of the files of their folder that may
# include them.
declare -A facade=([manager/TavManager.h]='manager/TavManager*' [tx/TxManager.h]='tx/TxManager*')

breaches=0
breach() {
    echo "$1"
    breaches=$((breaches + 1))
}

for entry in src/*; do
    name=${entry#src/}
    if [[ -d $entry ]]; then
        [[ -n ${rank[$name]:-} ]] || breach "$entry: a folder that is no layer"
    elif [[ $name != CMakeLists.txt ]]; then
        breach "$entry: outside every layer"
    fi
done

# The quoted includes of a file, one a line.
includes() {
    sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$1"
}

while IFS= read -r file; do
    rel=${file#src/}
    layer=${rel%%/*}
    [[ -n ${rank[$layer]:-} ]] || continue
    while IFS= read -r inc; do
        case $inc in
        *.moc | moc_*) continue ;;
        */*)
            target=${inc%%/*}
            if [[ -z ${rank[$target]:-} ]]; then
                breach "$file: includes \"$inc\", which is in no layer"
            elif [[ ! -f src/$inc ]]; then
                breach "$file: includes \"$inc\", which does not exist"
            elif [[ $target != "$layer" ]] && ((rank[$target] >= rank[$layer])); then
                breach "$file: includes \"$inc\" of layer $target, not below $layer"
            fi
            if [[ $target == "$layer" ]]; then
                breach "$file: names its own folder in \"$inc\"; the bare name will do"
            fi
            ;;
        *)
            if [[ -f src/$layer/$inc ]]; then
                :
            elif compgen -G "src/*/$inc" >/dev/null; then
                breach "$file: includes \"$inc\" of another folder without naming it"
            fi
            ;;
        esac
        path=$inc
        [[ $inc == */* ]] || path=$layer/$inc
        if [[ -n ${facade[$path]:-} && $rel != "$path" ]]; then
            # shellcheck disable=SC2053 # the pattern is a glob on purpose
            [[ $rel == ${facade[$path]} || ${path%%/*} != "$layer" ]] \
                || breach "$file: includes the facade $path from below it"
        fi
    done < <(includes "$file")
done < <(find src -type f \( -name '*.h' -o -name '*.cpp' \) | sort)

# Outside src/, a core header is named with its folder.
while IFS= read -r file; do
    dir=$(dirname "$file")
    while IFS= read -r inc; do
        [[ $inc == */* || -f $dir/$inc ]] && continue
        if compgen -G "src/*/$inc" >/dev/null; then
            breach "$file: includes the core's \"$inc\" without its folder"
        fi
    done < <(includes "$file")
done < <(find tools tests bench -type f \( -name '*.h' -o -name '*.cpp' \) | sort)

# No function of src/ or tools/ longer than 60 lines, from the line of its
# name to its closing brace (the sources are formatted with the braces of a
# function at the start of a line). The command table's rows are data.
while IFS= read -r long; do
    breach "$long"
done < <(find src tools -type f -name '*.cpp' | sort | xargs awk -v limit=60 '
    FNR == 1 { sig = 0; start = 0 }
    /^[A-Za-z_~].*\(/ && !/;[[:space:]]*$/ { if (!start && !sig) { sig = FNR; name = $0 } }
    /^\{/ { start = sig ? sig : FNR }
    /^\}/ {
        n = FNR - start + 1
        if (start && n > limit && name !~ /buildRows\(\)/)
            printf "%s:%d: a function of %d lines, over %d: %s\n", FILENAME, start, n, limit, name
        start = 0; sig = 0
    }
    /^$/ { if (!start) sig = 0 }')

if ((breaches > 0)); then
    echo "$breaches breaches of the layers"
    exit 1
fi
echo "every file keeps to its layer"
