#!/usr/bin/env bash
# Builds the libFuzzer targets with clang into build-fuzz/ and runs each in turn.
#   scripts/fuzz.sh [target...]      targets: cp932 tagspans narrow settings taglibrary
#                                    pictographlist commandline (default: all)
# FUZZ_SECONDS (default 600) is each target's run length. New inputs are kept in
# build-fuzz/corpus/<target>; the committed seeds in fuzz/corpus are only read. A crash, hang,
# sanitizer report or broken invariant stops the run with its input in build-fuzz/findings.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh

packages=(clang-14 libclang-rt-14-dev)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    sudo_cmd=()
    [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
    "${sudo_cmd[@]}" apt-get update
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
fi

CC=clang-14 CXX=clang++-14 cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DZEMLO_FUZZ=ON -DBUILD_TESTING=OFF
cmake --build build-fuzz --target fuzz_all -j"$(nproc)"

targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(cp932 tagspans narrow settings taglibrary pictographlist commandline)
seconds="${FUZZ_SECONDS:-600}"
# The tag library target writes files on every input: keep them in memory when possible.
if [ -z "${TMPDIR:-}" ] && [ -d /dev/shm ] && [ -w /dev/shm ]; then
    export TMPDIR=/dev/shm
fi
export QT_QPA_PLATFORM=offscreen
mkdir -p build-fuzz/findings
for t in "${targets[@]}"; do
    mkdir -p "build-fuzz/corpus/$t"
    echo "== fuzz_$t for ${seconds}s"
    ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
        "build-fuzz/fuzz/fuzz_$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -max_len=65536 -print_final_stats=1 -artifact_prefix="build-fuzz/findings/$t-" \
        "build-fuzz/corpus/$t" "fuzz/corpus/$t"
done
echo "All fuzz targets ran without a finding."
