#!/usr/bin/env bash
# Mutation testing of the model: applies single-line mutants one at a time to a
# copy of the tree and counts how many the test suite kills.
#
#   scripts/mutate.sh [--tree DIR] [--seed N] [--count N] [--jobs N] [--timeout S]
#                     [--save FILE | --mutants FILE]
#
# Without --mutants it builds the copy with coverage, runs the suite and picks
# --count compiling mutants at random among the executed lines, saving them to
# --save (default mutants.txt). With --mutants it replays a saved list.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
tree=$(cd "$here/.." && pwd)
seed=4107 count=40 jobs=4 timeout=120 save=mutants.txt mutants=""
while [ $# -gt 0 ]; do
    case $1 in
        --tree) tree=$(cd "$2" && pwd) ;;
        --seed) seed=$2 ;;
        --count) count=$2 ;;
        --jobs) jobs=$2 ;;
        --timeout) timeout=$2 ;;
        --save) save=$2 ;;
        --mutants) mutants=$(realpath "$2") ;;
        *) sed -n '5,6p' "$0" >&2; exit 2 ;;
    esac
    shift 2
done
targets="src/creature/*.cpp src/encounter/*.cpp src/foundation/objectstream.cpp"
started=$(date +%s)

work=$(mktemp -d "${TMPDIR:-/tmp}/mutate.XXXXXX")
trap 'rm -rf "$work"' EXIT
copy=$work/tree
mkdir -p "$copy" "$work/tmp"
if git -C "$tree" rev-parse --git-dir >/dev/null 2>&1; then
    (cd "$tree" && git ls-files -z --cached --others --exclude-standard |
        tar --null -T - --ignore-failed-read -cf - 2>/dev/null) | tar -C "$copy" -xf -
else
    tar -C "$tree" --exclude='./build*' -cf - . | tar -C "$copy" -xf -
fi

export QT_QPA_PLATFORM=offscreen TMPDIR=$work/tmp
# Cache hits across runs even though every run builds in a new folder.
export CCACHE_BASEDIR=$work CCACHE_NOHASHDIR=1

# configure FOLDER [cmake options...]; tests are run under `timeout`, since
# their own TIMEOUT property would win over ctest's --timeout.
configure() {
    local folder=$1
    shift
    cmake -S "$copy" -B "$work/$folder" -G Ninja -DCMAKE_CXX_COMPILER_LAUNCHER=ccache \
        -DRAVELHORN_BENCH=OFF "-DCMAKE_CROSSCOMPILING_EMULATOR=timeout;$timeout" "$@" >/dev/null
}
build() { cmake --build "$work/$1" -j "$jobs" >"$work/build.log" 2>&1; }
run_tests() { (cd "$work/$1" && ctest -j "$jobs" "${@:2}" >"$work/ctest.log" 2>&1); }
mutate() { python3 "$here/mutate.py" apply "$copy" "$@"; }

configure build
build build || { cat "$work/build.log"; echo "The unchanged tree does not build." >&2; exit 1; }
run_tests build || { cat "$work/ctest.log"; echo "The unchanged tree fails its tests." >&2; exit 1; }

if [ -z "$mutants" ]; then
    echo "Finding the lines the tests execute..."
    configure build-coverage -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS=--coverage -DCMAKE_EXE_LINKER_FLAGS=--coverage
    build build-coverage || { cat "$work/build.log"; exit 1; }
    run_tests build-coverage || echo "(some tests fail in the coverage build)"
    candidates=$work/candidates.txt
    (cd "$copy" && python3 "$here/mutate.py" choose "$seed" "$copy" "$work/build-coverage" $targets) >"$candidates"
    printf '# file\tline\toriginal\tmutated (seed %s)\n' "$seed" >"$save"
else
    candidates=$mutants
fi

total=0 killed=0 survivors=()
while IFS=$'\t' read -r file line original mutated; do
    [[ $file == \#* ]] && continue
    [ -n "$mutants" ] || [ "$total" -lt "$count" ] || break
    where="$file:$line  ${original#"${original%%[![:space:]]*}"} → ${mutated#"${mutated%%[![:space:]]*}"}"
    mutate "$file" "$line" "$original" "$mutated" || continue
    if ! build build; then
        [ -n "$mutants" ] && echo "does not build, skipped: $where"
        mutate "$file" "$line" "$mutated" "$original"
        continue
    fi
    total=$((total + 1))
    [ -n "$mutants" ] || printf '%s\t%s\t%s\t%s\n' "$file" "$line" "$original" "$mutated" >>"$save"
    if run_tests build --stop-on-failure; then
        outcome=survived
        survivors+=("$where")
    else
        killed=$((killed + 1))
        outcome="killed by $(sed -n 's/.*Test *#[0-9]*: \([^ ]*\) .*\*\*\*.*/\1/p' "$work/ctest.log" | head -1)"
    fi
    printf '[%2d] %-32s %s\n' "$total" "$outcome" "$where"
    mutate "$file" "$line" "$mutated" "$original"
done <"$candidates"

[ -n "$mutants" ] || echo "Mutant list saved in $save"
echo "Survivors:"
for survivor in "${survivors[@]}"; do echo "  $survivor"; done
[ "$total" -gt 0 ] || { echo "No mutant was run." >&2; exit 1; }
echo "Score: $killed/$total ($(awk "BEGIN { printf \"%.1f\", 100 * $killed / $total }")%), in $(( ($(date +%s) - started) / 60 )) minutes"
