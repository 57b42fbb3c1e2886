#!/usr/bin/env bash
# Builds everything and runs every test, then every test again under
# AddressSanitizer and UndefinedBehaviorSanitizer, then fuzzes each fuzz
# target for half a minute.
set -euo pipefail
cd "$(dirname "$0")"
. scripts/common.sh

install_missing_packages $PACKAGES
install_missing_packages --optional $FUZZ_PACKAGES
install_missing_packages --optional $X11_PACKAGES
prepare_test_environment

build build
(cd build && ctest --output-on-failure -j "$JOBS")

build build-sanitize -DRAVELHORN_SANITIZE=ON -DRAVELHORN_BENCH=OFF
(cd build-sanitize && ctest --output-on-failure -j "$JOBS")

build_fuzz_targets
# A finding fails the run; once mended, its input goes into fuzz/regressions/
# and from then on the tests above replay it.
findings=""
for target in $(fuzz_targets); do
    FUZZ_SEED=1 fuzz "$target" 30 || findings="$findings $target"
done
if [ -n "$findings" ]; then
    echo "Fuzzing found new failing inputs in:$findings (see above)" >&2
    exit 1
fi
