#!/usr/bin/env bash
# Asks the completion function what it offers, as bash does at a Tab press.
# Usage: bash-completion.sh COMPLETION_FILE VELMORIN_CALC
set -euo pipefail
# shellcheck source=/dev/null
source "$1"
calc=$2
status=0

# offers "WORD..." EXPECTED: the words typed (the last one is being completed).
offers()
{
    local expected=${*: -1}
    COMP_WORDS=(velmorin-calc "${@:1:$#-1}")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMPREPLY=()
    _velmorin_calc
    if [[ ${COMPREPLY[*]} != "$expected" ]]; then
        echo "FAIL: after '${COMP_WORDS[*]}' completion offers '${COMPREPLY[*]}', not '$expected'" >&2
        status=1
    fi
}

# Every option of the help, no more and no less (a new option must reach the completion too).
options=$("$calc" --help | grep -oE -- '^ +(-h, )?--[a-z0-9][a-z0-9-]*' | grep -o -- '--.*' | sort -u | tr '\n' ' ')
COMP_WORDS=(velmorin-calc --) COMP_CWORD=1 COMPREPLY=()
_velmorin_calc
offered=$(printf '%s\n' "${COMPREPLY[@]}" | grep -v '^--$' | sort -u | tr '\n' ' ')
if [[ $offered != "$options" ]]; then
    echo "FAIL: completion offers '$offered', the help lists '$options'" >&2
    status=1
fi

offers --fo --format
offers --format "" "table csv"
offers --format = c csv
offers --demi = "" "1/2 3/4"
offers --tour4 3 3/4
offers --plans --e4 "" ""
offers --plans --limite = "" ""
offers --pl --plans
offers -- -5 - ""
# A list: CSV and ODS files and folders, nothing else; a seed is the user's own number.
docs=$(dirname "$1")/../../docs
offers --equipes "$docs/exemple-equipes.c" "$docs/exemple-equipes.csv"
offers --equipes "$docs/README" ""
offers --equipes "$(dirname "$docs")/doc" "$docs/"
offers --graine "" ""
exit $status
