#!/usr/bin/env bash
# Builds Zemlo and prints its speed and memory figures (median and 99th percentile over repeated
# runs) for 5 KB, 100 KB, 1 MB and 10 MB pages, then start-up. Arguments limit the run to some
# of them: 5KB 100KB 1MB 10MB startup. Figures only: nothing is checked.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target zemlo_bench -j"$(nproc)"
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
export QTWEBENGINE_CHROMIUM_FLAGS="${QTWEBENGINE_CHROMIUM_FLAGS:---disable-gpu}"
build/bench/zemlo_bench "$@" 2> >(grep -vE '^(js:|QStandardPaths)' >&2)
