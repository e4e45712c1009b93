#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for the given seconds (default 60)
# on a copy of its corpus, so the tree stays clean. Fails on any crash, leak or report.
# Usage: fuzz/run.sh [seconds]
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-60}
build_dir=build-fuzz # the fuzz preset's
targets=(fuzz_inttext fuzz_search fuzz_overview fuzz_visibletext fuzz_plans fuzz_teamlist
         fuzz_arguments fuzz_teamods fuzz_teamxlsx fuzz_xmlpart fuzz_cup fuzz_cupfile
         fuzz_cupwriters fuzz_cupday fuzz_serveraddress fuzz_webrequest)

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j"$(nproc)" --target "${targets[@]}"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export ASAN_OPTIONS=detect_leaks=1:halt_on_error=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1

summary=()
for target in "${targets[@]}"; do
    corpus="$work/$target"
    cp -r "fuzz/corpus/$target" "$corpus"
    args=(-max_total_time="$seconds" -print_final_stats=1 -timeout=10 -rss_limit_mb=2048
          -artifact_prefix="$work/$target-")
    if [[ -f "fuzz/${target#fuzz_}.dict" ]]; then args+=(-dict="fuzz/${target#fuzz_}.dict"); fi

    echo "== $target: ${seconds} s"
    log="$work/$target.log"
    start=$(date +%s)
    status=0
    "$build_dir/fuzz/$target" "${args[@]}" "$corpus" >"$log" 2>&1 || status=$?
    elapsed=$(($(date +%s) - start))
    if ((status != 0)); then
        tail -n 60 "$log"
        for crash in "$work/$target"-*; do
            [[ -e "$crash" ]] || continue
            kept="fuzz/corpus/$target/regression-$(basename "$crash" | sed "s/^$target-//")"
            cp "$crash" "$kept"
            echo "Input kept as $kept: fix the fault, then commit it as a regression input."
        done
        echo "$target FAILED (exit $status)" >&2
        exit 1
    fi
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
    summary+=("$target: ${runs:-?} executions in ${elapsed} s")
done

echo "== Fuzzing summary"
printf '%s\n' "${summary[@]}"
