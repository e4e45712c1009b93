#!/usr/bin/env bash
# The calculator's start-up: the CPU time of `velmorin-calc --counts 71 6 20` beside a bare C++
# program, linked against libstdc++ like the calculator, that only prints a line; each run many
# times in a row and alternately, through /usr/bin/time, and the number of shared libraries
# each loads.
# Usage: scripts/calc-startup.sh [runs] (default 500); the calculator is built in ${BUILD_DIR:-build}.
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir=${BUILD_DIR:-build}
runs=${1:-500}
cmake --build "$build_dir" --target velmorin-calc >/dev/null
calc="$build_dir/src/cli/velmorin-calc"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
printf '#include <iostream>\nint main() { std::cout << "classe,solutions\\n"; }\n' >"$work/bare.cpp"
c++ -O2 "$work/bare.cpp" -o "$work/bare"

# User plus system seconds of `runs` runs of a command.
cpu() {
    /usr/bin/time -f '%U %S' bash -c "for ((i = 0; i < $runs; ++i)); do $* >/dev/null; done" \
        2>&1 >/dev/null | awk '{print $1 + $2}'
}
calc_cpu=0
bare_cpu=0
for round in 1 2 3; do
    calc_cpu=$(awk -v a="$calc_cpu" -v b="$(cpu "$calc" --counts 71 6 20)" 'BEGIN {print a + b}')
    bare_cpu=$(awk -v a="$bare_cpu" -v b="$(cpu "$work/bare")" 'BEGIN {print a + b}')
done
printf 'velmorin-calc --counts 71 6 20  %6.3f ms CPU a run, %d shared libraries\n' \
    "$(awk -v t="$calc_cpu" -v n="$runs" 'BEGIN {print t * 1000 / (3 * n)}')" \
    "$(ldd "$calc" | wc -l)"
printf 'bare C++ program                %6.3f ms CPU a run, %d shared libraries\n' \
    "$(awk -v t="$bare_cpu" -v n="$runs" 'BEGIN {print t * 1000 / (3 * n)}')" \
    "$(ldd "$work/bare" | wc -l)"
awk -v a="$calc_cpu" -v b="$bare_cpu" 'BEGIN {printf "ratio                           %6.2f\n", a / b}'
