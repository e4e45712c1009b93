#!/usr/bin/env bash
# Makes fuzz_cupfile's corpus: a valid cup of the sample list, made by the calculator, and
# the same cut in half. Usage: fuzz/make_cup_seeds.sh BUILD_DIR (a build with velmorin-calc-coupe)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
out=fuzz/corpus/fuzz_cupfile
mkdir -p "$out"
rm -f "$out/valid" "$out/truncated"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
head -n 13 docs/exemple-equipes.csv >"$work/equipes.csv"
"$build/src/cli/velmorin-calc-coupe" --coupe "$work/c.velmorin" --nouvelle "Coupe" \
    --equipes "$work/equipes.csv" --graine 7 --ordre-niveaux "1,2" 1 4 1 1
cp "$work/c.velmorin" "$out/valid"
head -c $(($(stat -c %s "$out/valid") / 2)) "$out/valid" >"$out/truncated"
