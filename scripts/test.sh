#!/usr/bin/env bash
# Set up, build and run every test, then the whole suite again under AddressSanitizer and
# UndefinedBehaviorSanitizer; each part ends with CTest's summary (which gives the time of its
# tests). The set-up and build times are printed too, for the newcomer's cost of a first run.
set -euo pipefail
cd "$(dirname "$0")/.."
start=$SECONDS
scripts/setup.sh
echo "Time: packages $((SECONDS - start)) s"
start=$SECONDS
scripts/build.sh --target zemlo_tests
echo "Time: build $((SECONDS - start)) s"
(cd build && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j1 --timeout 900)
scripts/test-sanitized.sh
