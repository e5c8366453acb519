#!/usr/bin/env bash
# Installs what is missing, builds the engine with AddressSanitizer and
# UndefinedBehaviorSanitizer, builds the fuzz targets with clang, and runs
# every test (the fuzz targets briefly) under a virtual X server.
set -euo pipefail
cd "$(dirname "$0")"
source tools/install_deps.sh
tge_install_missing

jobs=$(nproc)
export CCACHE_DISABLE=1

# -O1 runs the short fuzz bursts nearly as fast as -O2 and compiles faster.
cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -DNDEBUG" \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DTGE_FUZZ=ON >/dev/null
cmake --build build-fuzz -j "$jobs"

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTGE_SANITIZE=ON \
  -DTGE_FUZZ_BUILD_DIR="$PWD/build-fuzz" >/dev/null
cmake --build build -j "$jobs"

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS=suppressions="$PWD/tests/lsan.supp"
export ALSOFT_DRIVERS=null
export SDL_AUDIODRIVER=dummy
export LIBGL_ALWAYS_SOFTWARE=1
cd build
xvfb-run -a ctest --output-on-failure -j "$jobs"
