#!/usr/bin/env bash
# Builds the program and its tests with AddressSanitizer and UndefinedBehaviorSanitizer
# (build-asan; not the benchmarks, which the test step builds and whose figures a sanitizer
# would only distort) and runs every test, headless. Any sanitizer report stops the test that made it, which then fails.
# The packages are installed (scripts/install-deps.sh).
set -euo pipefail
cd "$(dirname "$0")/.."

cmake --preset asan
cmake --build --preset asan -j"$(nproc)"
ctest --preset asan -j"$(nproc)"
