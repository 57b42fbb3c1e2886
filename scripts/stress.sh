#!/usr/bin/env bash
# scripts/stress.sh [--build DIR] [--runs N] [--jobs N] [REGEX]: builds DIR
# (build; with $JOBS jobs, as every build here), then runs its tests, or those
# whose names match REGEX, N times (5) with every core kept busy, N tests at
# a time (one a core), and says which test failed how often. A test that
# takes a state for granted (a window active, the focus arrived) fails here.
set -euo pipefail

usage() {
    echo "usage: scripts/stress.sh [--build DIR] [--runs N] [--jobs N] [REGEX]" >&2
    exit 2
}
number() {
    [[ $1 =~ ^[1-9][0-9]*$ ]] || usage
    echo "$1"
}
folder="" runs=5 jobs=$(nproc) regex=""
while [ $# -gt 0 ]; do
    case $1 in
    --build) [ $# -ge 2 ] || usage; folder=$(realpath -m "$2"); shift 2 ;;
    --runs) [ $# -ge 2 ] || usage; runs=$(number "$2"); shift 2 ;;
    --jobs) [ $# -ge 2 ] || usage; jobs=$(number "$2"); shift 2 ;;
    -*) usage ;;
    *) [ -z "$regex" ] || usage; regex=$1; shift ;;
    esac
done

cd "$(dirname "$0")/.."
. scripts/common.sh
folder=${folder:-$PWD/build}

install_missing_packages $PACKAGES
install_missing_packages --optional $X11_PACKAGES
# A folder already configured keeps its build type and options.
if [ -f "$folder/CMakeCache.txt" ]; then
    cmake --build "$folder" -j "$JOBS"
else
    build "$folder"
fi

prepare_test_environment
# Interrupted, the script still ends its busy loops.
trap 'exit 130' INT
trap 'exit 143' TERM
busy=()
for _ in $(seq "$(nproc)"); do
    yes >/dev/null &
    busy+=($!)
done
on_exit "kill ${busy[*]} 2>/dev/null"

logs=$folder/stress
rm -rf "$logs"
mkdir -p "$logs"
failed_list=$folder/Testing/Temporary/LastTestsFailed.log
declare -A failures=()
for run in $(seq "$runs"); do
    log=$logs/run-$run.log
    rm -f "$failed_list"
    if (cd "$folder" && ctest --output-on-failure --no-tests=error -j "$jobs" ${regex:+-R "$regex"}) >"$log" 2>&1; then
        echo "run $run of $runs: passed"
        continue
    fi
    # ctest lists the failed tests as NUMBER:NAME; with none listed, ctest itself failed.
    names=$(if [ -f "$failed_list" ]; then cut -d: -f2- "$failed_list"; else echo "(ctest)"; fi)
    for name in $names; do
        failures[$name]=$((${failures[$name]:-0} + 1))
    done
    echo "run $run of $runs: failed:" $names "(see $log)"
done

if [ ${#failures[@]} -eq 0 ]; then
    echo "$runs runs, no failure"
    exit 0
fi
for name in "${!failures[@]}"; do
    echo "$name failed in ${failures[$name]} of $runs runs"
done | sort
exit 1
