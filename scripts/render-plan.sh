#!/usr/bin/env bash
# Renders the plan sheet of the typical use into docs/plan.png (through a PDF), offscreen.
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir=${BUILD_DIR:-build}
cmake -S . -B "$build_dir"
cmake --build "$build_dir" --target velmorin-render-plan -j"$(nproc)"
QT_QPA_PLATFORM=offscreen "$build_dir/tools/velmorin-render-plan" "$build_dir/plan.pdf"
pdftoppm -png -r 60 -singlefile "$build_dir/plan.pdf" docs/plan
echo "docs/plan.png written"
