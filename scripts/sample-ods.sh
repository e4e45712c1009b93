#!/usr/bin/env bash
# Writes docs/exemple-equipes.ods from docs/exemple-equipes.csv with the program's ODS writer.
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir=${BUILD_DIR:-build}
cmake -S . -B "$build_dir"
cmake --build "$build_dir" --target velmorin-sample-ods -j"$(nproc)"
"$build_dir/tools/velmorin-sample-ods" docs/exemple-equipes.csv docs/exemple-equipes.ods
echo "docs/exemple-equipes.ods written"
