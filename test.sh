#!/usr/bin/env bash
# Builds everything and runs every test, then the model's tests again under
# AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")"
. scripts/common.sh

install_missing_packages
export QT_QPA_PLATFORM=offscreen

build build
(cd build && ctest --output-on-failure -j "$JOBS")

build build-sanitize -DRAVELHORN_SANITIZE=ON
(cd build-sanitize && ctest --output-on-failure -j "$JOBS")
