#!/usr/bin/env bash
# Builds one render tool and runs it offscreen: render-tool.sh TARGET OUTPUT.
set -euo pipefail
cd "$(dirname "$0")/.."
target=$1 output=$2

build_dir=${BUILD_DIR:-build}
cmake -S . -B "$build_dir"
cmake --build "$build_dir" --target "$target" -j"$(nproc)"
QT_QPA_PLATFORM=offscreen "$build_dir/tools/$target" "$output"
echo "$output written"
