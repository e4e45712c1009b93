#!/usr/bin/env bash
# The main window's CPU time from process start to its first paint, beside a minimal Qt
# Widgets program showing three widgets and beside those three widgets with one label in each
# font the window shows, run alternately in the same session (offscreen). The last is the
# part of the start-up that the window's design alone costs.
# Usage: scripts/startup-time.sh [runs] (default 21); the programs are built in ${BUILD_DIR:-build}.
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir=${BUILD_DIR:-build}
runs=${1:-21}
programs=(velmorin-startup-probe velmorin-startup-minimal velmorin-startup-fonts)
cmake --build "$build_dir" --target "${programs[@]}" >/dev/null
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}

declare -A times
for ((i = 0; i < runs; ++i)); do
    for program in "${programs[@]}"; do
        times[$program]+="$("$build_dir/tools/$program" 2>/dev/null) "
    done
done

median() { printf '%s\n' $1 | sort -g | awk '{v[NR] = $1} END {print v[int((NR + 1) / 2)]}'; }
w=$(median "${times[velmorin-startup-probe]}")
m=$(median "${times[velmorin-startup-minimal]}")
f=$(median "${times[velmorin-startup-fonts]}")
printf 'main window                %8.1f ms CPU (median of %d)\n' "$w" "$runs"
printf 'three widgets              %8.1f ms CPU\n' "$m"
printf 'three widgets, window fonts%8.1f ms CPU\n' "$f"
awk -v w="$w" -v m="$m" -v f="$f" \
    'BEGIN {printf "ratio                      %8.2f (the fonts alone: %.2f)\n", w / m, f / m}'
