#!/usr/bin/env bash
# Builds everything (installing what is missing) and runs every test.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

ensure_packages "${PACKAGES[@]}"
configure_and_build "$ROOT/build/debug" -DCMAKE_BUILD_TYPE=Debug
cd "$ROOT/build/debug"
ctest --output-on-failure --parallel 2 "$@"
