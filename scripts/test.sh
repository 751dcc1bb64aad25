#!/usr/bin/env bash
# Set up, build and run every test, then the whole suite again under AddressSanitizer and
# UndefinedBehaviorSanitizer; each part ends with CTest's summary. The time each stage took is
# printed at the end, for the newcomer's cost of a first run.
set -euo pipefail
cd "$(dirname "$0")/.."
stages=()
stage() {
    local name=$1 start=$SECONDS
    shift
    "$@"
    stages+=("$(printf '%-22s %5d s' "$name" $((SECONDS - start)))")
}
stage "packages" scripts/setup.sh
stage "build" scripts/build.sh --target zemlo_tests
stage "tests" bash -c 'cd build && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j1 --timeout 900'
stage "sanitized build+tests" scripts/test-sanitized.sh
echo "Stage times:"
printf '  %s\n' "${stages[@]}"
