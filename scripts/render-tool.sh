#!/usr/bin/env bash
# Builds one render tool and runs it offscreen, writing one picture for the README.
# Usage: render-tool.sh TARGET OUTPUT (OUTPUT relative to the source tree)
set -euo pipefail
cd "$(dirname "$0")/.."
target=$1 output=$2

build_dir=${BUILD_DIR:-build}
cmake -S . -B "$build_dir"
cmake --build "$build_dir" --target "$target" -j"$(nproc)"
QT_QPA_PLATFORM=offscreen "$build_dir/tools/$target" "$output"
echo "$output written"
