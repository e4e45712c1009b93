#!/usr/bin/env bash
# The main window's CPU time from process start to its first paint, beside a minimal Qt
# Widgets program showing three widgets, run alternately in the same session (offscreen).
# Usage: scripts/startup-time.sh [runs] (default 21); the programs are built in ${BUILD_DIR:-build}.
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir=${BUILD_DIR:-build}
runs=${1:-21}
cmake --build "$build_dir" --target velmorin-startup-probe velmorin-startup-minimal >/dev/null
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}

window=()
minimal=()
for ((i = 0; i < runs; ++i)); do
    window+=("$("$build_dir/tools/velmorin-startup-probe")")
    minimal+=("$("$build_dir/tools/velmorin-startup-minimal")")
done

median() { printf '%s\n' "$@" | sort -g | awk '{v[NR] = $1} END {print v[int((NR + 1) / 2)]}'; }
w=$(median "${window[@]}")
m=$(median "${minimal[@]}")
printf 'main window      %8.1f ms CPU (median of %d)\n' "$w" "$runs"
printf 'three widgets    %8.1f ms CPU (median of %d)\n' "$m" "$runs"
awk -v w="$w" -v m="$m" 'BEGIN {printf "ratio            %8.2f\n", w / m}'
