#!/usr/bin/env bash
# Configures and builds the game and its data into build/ (runtime folder build/game/).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBD_WERROR=ON "$@" >/dev/null
cmake --build build
