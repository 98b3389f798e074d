#!/usr/bin/env bash
# Sets up everything on a fresh Debian machine, builds, and starts the game.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh
cd build/game
exec ./brindoma
