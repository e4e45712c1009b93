#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test, headless.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh --tests
bash scripts/build.sh
QT_QPA_PLATFORM=offscreen ctest --test-dir "${BUILD_DIR:-build}" --output-on-failure -j"$(nproc)"
