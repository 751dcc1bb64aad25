#!/usr/bin/env bash
# Set up, build and run every test, then the whole suite again under AddressSanitizer and
# UndefinedBehaviorSanitizer; each part ends with CTest's summary.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh --target zemlo_tests
(cd build && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j1 --timeout 900)
scripts/test-sanitized.sh
