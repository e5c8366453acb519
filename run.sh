#!/usr/bin/env bash
# Installs what is missing, builds the engine and starts it on the bundled
# demo game.
set -euo pipefail
cd "$(dirname "$0")"
source tools/install_deps.sh
tge_install_missing

cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DTGE_TESTS=OFF -DTGE_BENCH=OFF >/dev/null
cmake --build build-release -j "$(nproc)"

engine=build-release/app/tarnwick
if [ ! -x "$engine" ]; then
  echo "run.sh: the game shell ($engine) is not part of this build yet." >&2
  exit 1
fi
cd build-release/demo
exec "../app/tarnwick" "$@"
