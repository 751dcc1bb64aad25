#!/usr/bin/env bash
# Set up, build the program (not the tests) and start the editor.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh --target zemlo
exec build/zemlo "$@"
