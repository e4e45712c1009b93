#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer (build-asan) and runs
# every test, headless. Any sanitizer report stops the test that made it, which then fails.
# The packages are installed (scripts/install-deps.sh).
set -euo pipefail
cd "$(dirname "$0")/.."

cmake --preset asan
cmake --build --preset asan -j"$(nproc)"
ctest --preset asan -j"$(nproc)"
