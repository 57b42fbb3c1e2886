#!/usr/bin/env bash
# Builds the program and starts it; the first start makes "Ravelhorn Data"
# in the documents folder from the demonstration data.
set -euo pipefail
cd "$(dirname "$0")"
. scripts/common.sh

install_missing_packages $PACKAGES
# The program alone: ./test.sh builds the tests, benchmarks and fuzz targets.
BUILD_TARGET=ravelhorn build build

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    echo "Ravelhorn is built (build/bin/ravelhorn) but there is no display to show it on." >&2
    echo "Run it from a desktop session, or set QT_QPA_PLATFORM (e.g. offscreen)." >&2
    exit 1
fi
exec build/bin/ravelhorn "$@"
