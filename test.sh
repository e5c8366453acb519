#!/usr/bin/env bash
# Installs what is missing, builds the engine, its tests and its fuzz targets
# in one clang tree with AddressSanitizer and UndefinedBehaviorSanitizer, and
# runs every test (the fuzz targets briefly) under a virtual X server.
set -euo pipefail
cd "$(dirname "$0")"
source tools/install_deps.sh
tge_install_missing "${TGE_TEST_PACKAGES[@]}"

jobs=$(nproc)
export CCACHE_DISABLE=1

# The libraries carry the fuzz targets' coverage, so one build serves the
# tests and the fuzzing. -O1 runs the short fuzz bursts nearly as fast as
# -O2 and compiles faster; the test sources themselves build at -O0.
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG=-O1 -DCMAKE_C_FLAGS_DEBUG=-O1 \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DTGE_SANITIZE=ON -DTGE_FUZZ=ON >/dev/null
cmake --build build -j "$jobs"

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS=suppressions="$PWD/tests/lsan.supp"
export ALSOFT_DRIVERS=null
export SDL_AUDIODRIVER=dummy
export LIBGL_ALWAYS_SOFTWARE=1
# CTest runs a test per core already: one rasteriser thread each spends no
# time handing tiny pictures between threads. The shaders the software
# rasteriser compiles are cached for the rest of the run.
export LP_NUM_THREADS=1
export MESA_SHADER_CACHE_DIR="$PWD/build/mesa-shader-cache"
cd build
xvfb-run -a ctest --output-on-failure -j "$jobs"
