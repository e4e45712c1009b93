#!/usr/bin/env bash
# Redraws the target diagram of docs/ARCHITECTURE.md from the build itself (cmake --graphviz):
# the block between the two "diagram" markers is replaced. With --check, changes nothing and
# fails when the file's diagram is not the build's (CI runs it so).
set -euo pipefail
cd "$(dirname "$0")/.."

doc=docs/ARCHITECTURE.md
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cp docs/CMakeGraphVizOptions.cmake "$work/"
cmake -S . -B "$work" -DVELMORIN_BUILD_BENCH=OFF --graphviz="$work/targets.dot" >/dev/null

# The dot file names each target once ("nodeN" [ label = "name" ... ]) and each link as
# "nodeA" -> "nodeB": a Mermaid graph of the same, sorted so that it reads the same each time.
awk '
    function key(label) { gsub(/[^A-Za-z0-9_]/, "_", label); return label }
    /^ *"node[0-9]+" \[ label *= *"/ {
        match($0, /"node[0-9]+"/); id = substr($0, RSTART + 1, RLENGTH - 2)
        match($0, /label *= *"[^"]*"/); label = substr($0, RSTART, RLENGTH)
        sub(/label *= *"/, "", label); sub(/"$/, "", label)
        name[id] = label
    }
    /^ *"node[0-9]+" -> "node[0-9]+"/ {
        split($0, parts, "\""); edges[++n] = parts[2] SUBSEP parts[4]
    }
    END {
        for (id in name) print "    " key(name[id]) "[\"" name[id] "\"]"
        for (i = 1; i <= n; ++i) {
            split(edges[i], e, SUBSEP)
            if ((e[1] in name) && (e[2] in name))
                print "    " key(name[e[1]]) " --> " key(name[e[2]])
        }
    }' "$work/targets.dot" | LC_ALL=C sort -u > "$work/lines"

{
    echo '```mermaid'
    echo 'graph TD'
    cat "$work/lines"
    echo '```'
} > "$work/block"

awk -v block="$work/block" '
    /<!-- diagram: begin/ { print; while ((getline line < block) > 0) print line; skip = 1; next }
    /<!-- diagram: end/ { skip = 0 }
    !skip { print }' "$doc" > "$work/doc"

if [[ ${1:-} == --check ]]; then
    if ! diff -u "$doc" "$work/doc"; then
        echo "docs/ARCHITECTURE.md: the diagram is not the build's; run scripts/architecture-diagram.sh" >&2
        exit 1
    fi
else
    cp "$work/doc" "$doc"
fi
