#!/usr/bin/env bash
# Renders the about dialog and one frame of its history to docs/about.png and
# docs/about-history.png, headless.
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir=${BUILD_DIR:-build}
cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build_dir" -j"$(nproc)" --target velmorin-render-about
mkdir -p docs
QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} "$build_dir/tools/velmorin-render-about" docs
