#!/usr/bin/env bash
# scripts/fuzz.sh TARGET SECONDS: fuzzes one target (fuzz/fuzz_TARGET.cpp)
# for as long as asked and prints the executions and coverage.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/common.sh

if [ $# -ne 2 ] || [ ! -f "fuzz/fuzz_$1.cpp" ]; then
    echo "usage: scripts/fuzz.sh TARGET SECONDS, with TARGET one of:" $(fuzz_targets) >&2
    exit 2
fi
install_missing_packages $PACKAGES
install_missing_packages --optional $FUZZ_PACKAGES
build_fuzz_targets
fuzz "$1" "$2"
