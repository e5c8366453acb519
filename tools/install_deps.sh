#!/usr/bin/env bash
# The Debian packages the engine needs, and those its tests, fuzz targets
# and benchmarks need besides; installs only those that are missing.
# Sourced by run.sh (TGE_PACKAGES) and test.sh (TGE_TEST_PACKAGES).
set -euo pipefail

TGE_PACKAGES=(
  cmake ninja-build g++ lld pkg-config
  libsdl2-dev
  libepoxy-dev libgl-dev libegl-dev libgl1-mesa-dri
  libopenal-dev
  libode-dev
  libpng-dev libjpeg-dev zlib1g-dev
  libavformat-dev libavcodec-dev libswscale-dev libswresample-dev libavutil-dev
)

TGE_TEST_PACKAGES=(
  "${TGE_PACKAGES[@]}"
  clang libclang-rt-14-dev
  libgtest-dev libgmock-dev xvfb xauth
  libbenchmark-dev
)

# tge_install_missing PACKAGE...
tge_install_missing() {
  local missing=()
  local p
  for p in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed"; then
      missing+=("$p")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}
