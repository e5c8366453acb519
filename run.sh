#!/usr/bin/env bash
# Installs what is missing, builds the engine and the demo game's data, and
# starts the engine windowed on the demo. Further start-up options
# (-name=value) may follow; later ones win.
set -euo pipefail
cd "$(dirname "$0")"
source tools/install_deps.sh
tge_install_missing "${TGE_PACKAGES[@]}"

cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DTGE_TESTS=OFF -DTGE_BENCH=OFF >/dev/null
cmake --build build-release -j "$(nproc)"

cd build-release/demo
exec ../app/tarnwick -g_fs=0 -g_w=1024 -g_h=768 "$@"
