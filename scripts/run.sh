#!/usr/bin/env bash
# Builds the program (installing what is missing) and starts it.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

ensure_packages "${PACKAGES[@]}"
configure_and_build "$ROOT/build/release" -DCMAKE_BUILD_TYPE=Release -DMERILON_TESTS=OFF
exec "$ROOT/build/release/app/merilon" "$@"
