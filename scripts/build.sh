#!/usr/bin/env bash
# Builds everything into ${BUILD_DIR:-build}; the packages are installed
# (scripts/install-deps.sh).
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir=${BUILD_DIR:-build}
cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build_dir" -j"$(nproc)"
