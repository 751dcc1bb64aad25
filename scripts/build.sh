#!/usr/bin/env bash
# Configures and builds Zemlo into build/: everything, or only the targets named with --target.
#   scripts/build.sh [--target NAME]... [configure arguments...]
set -euo pipefail
cd "$(dirname "$0")/.."
targets=()
while [ $# -ge 2 ] && [ "$1" = "--target" ]; do
    targets+=(--target "$2")
    shift 2
done
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
cmake --build build -j"$(nproc)" "${targets[@]}"
