#!/usr/bin/env bash
# Builds Zemlo and prints its speed and memory figures (median and 99th percentile over repeated
# runs) for 5 KB, 100 KB, 1 MB and 10 MB pages, the phone check's among them, pages of 100 KB,
# 1 MB and 5 MB in one line beside the same in many, one line of 250 KB, 1 MB and 5 MB pasted
# into an empty page, then start-up
# (also beside FeatherPad, by scripts/bench-startup.sh), and the time until the program is idle
# after opening 1 MB and 10 MB pages. Arguments limit the run to some of them: 5KB 100KB 1MB 10MB
# oneline (or 100KB-line 1MB-line 5MB-line) paste (or 250KB-paste 1MB-paste 5MB-paste) startup
# idle site. "site" times the site commands on a generated site of 2,000 pages (10 MB).
# Figures only: nothing is checked.
set -euo pipefail
cd "$(dirname "$0")/.."
# The browser engine switches as the user gave them, before the defaults below.
user_flags="${QTWEBENGINE_CHROMIUM_FLAGS-}"
scripts/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target zemlo_bench zemlo_bench_site -j"$(nproc)"
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
export QTWEBENGINE_CHROMIUM_FLAGS="${QTWEBENGINE_CHROMIUM_FLAGS:---disable-gpu}"
editing=()
for a in "$@"; do
    [ "$a" = idle ] || [ "$a" = site ] || editing+=("$a")
done
if [ $# -eq 0 ] || [ ${#editing[@]} -gt 0 ]; then
    build/bench/zemlo_bench "${editing[@]}" 2> >(grep -vE '^(js:|QStandardPaths)' >&2)
fi
if [ $# -eq 0 ] || [[ " $* " == *" site "* ]]; then
    build/bench/zemlo_bench_site
fi
# Start-up beside FeatherPad, on a virtual X server of its own, with the program's own engine
# switches unless the user gave some.
# It ends with the idle figures, which "idle" alone prints.
if [ $# -eq 0 ] || [[ " $* " == *" startup "* ]]; then
    QTWEBENGINE_CHROMIUM_FLAGS="$user_flags" scripts/bench-startup.sh
elif [[ " $* " == *" idle "* ]]; then
    cmake --build build --target zemlo -j"$(nproc)" >/dev/null
    QTWEBENGINE_CHROMIUM_FLAGS="$user_flags" scripts/bench-startup.sh --idle
fi
