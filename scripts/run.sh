#!/usr/bin/env bash
# Set up, build and start the editor.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh
exec build/zemlo "$@"
