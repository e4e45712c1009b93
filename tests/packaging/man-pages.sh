#!/usr/bin/env bash
# Renders the built manual pages as man(1) shows them: any groff or man warning fails, and so
# does an option of `velmorin-calc --help` that the calculator's page does not describe.
# Usage: man-pages.sh MAN_DIR VELMORIN_CALC
set -euo pipefail
man_dir=$1 calc=$2

if ! command -v man >/dev/null; then
    echo "SKIP: man is not installed (package man-db)"
    exit 77
fi

status=0
for page in "$man_dir"/*.1.gz; do
    if ! text=$(MANWIDTH=80 man --warnings -E UTF-8 -l "$page" 2>"$man_dir/warnings"); then
        echo "FAIL: man could not render $page" >&2
        status=1
    fi
    if [[ -s $man_dir/warnings ]]; then
        echo "FAIL: rendering $page warned:" >&2
        cat "$man_dir/warnings" >&2
        status=1
    fi
    if [[ $page == */velmorin-calc.1.gz ]]; then
        for option in $("$calc" --help | grep -oE -- '^ +(-h, )?--[a-z0-9]+' | grep -o -- '--.*' | sort -u); do
            if ! grep -q -- "$option" <<<"$text"; then
                echo "FAIL: velmorin-calc(1) does not describe $option" >&2
                status=1
            fi
        done
    fi
done
rm -f "$man_dir/warnings"
exit $status
