#!/usr/bin/env bash
# Installs what is missing, builds the program and opens its window.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

build_dir=${BUILD_DIR:-build}
cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build_dir" -j"$(nproc)"
if [[ -x "$build_dir/src/app/velmorin" ]]; then
    exec "$build_dir/src/app/velmorin" "$@"
fi
# Until the window exists: the calculator on the default inputs.
exec "$build_dir/src/cli/velmorin-calc" 71 6 20
