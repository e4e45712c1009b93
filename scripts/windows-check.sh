#!/usr/bin/env bash
# The Windows programs checked under wine (Debian's wine, in Xvfb), as one table:
# - each calculator run gives the same output and exit status as the Linux calculator's
#   (plain, --scan, --plans, --equipes on CSV, ODS and XLSX lists, refusals, a cup made, drawn
#   and played), and each side reads the other's cup to the same table;
# - the window starts, shows its main window with the defaults, opens a cup given on its command
#   line (its name in the title), and leaves a screenshot.
# - the platform seams' own test table (tst_platform) passes with their Windows bodies.
# Usage: windows-check.sh WINDOWS_FOLDER LINUX_CALC_FOLDER WORK_FOLDER [TST_PLATFORM_EXE QT_BIN]
# (run by scripts/windows.sh check; exits non-zero when a row fails).
set -euo pipefail
stage=$(realpath "$1")
linux=$(realpath "$2")
work=$(realpath -m "$3")
root=$(realpath "$(dirname "$0")/..")

rm -rf "$work"
mkdir -p "$work/linux" "$work/windows"
export WINEPREFIX=$work/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LC_ALL=C.UTF-8
failures=0
rows=0

# The lists each side reads, in each side's folder: CSV and ODS from docs/, XLSX made here.
lists() {
    local dir=$1
    cp "$root/docs/exemple-equipes.csv" "$dir/équipes.csv"
    cp "$root/docs/exemple-equipes.ods" "$dir/équipes.ods"
    xlsx "$root/docs/exemple-equipes.csv" "$dir/équipes.xlsx"
}

# A workbook of one sheet with the CSV's cells as inline strings (numbers as numbers).
xlsx() {
    local csv=$1 out=$2 tmp
    tmp=$(mktemp -d)
    mkdir -p "$tmp/_rels" "$tmp/xl/_rels" "$tmp/xl/worksheets"
    cat >"$tmp/[Content_Types].xml" <<'EOT'
<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types"><Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/><Default Extension="xml" ContentType="application/xml"/><Override PartName="/xl/workbook.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml"/><Override PartName="/xl/worksheets/sheet1.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml"/></Types>
EOT
    cat >"$tmp/_rels/.rels" <<'EOT'
<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="xl/workbook.xml"/></Relationships>
EOT
    cat >"$tmp/xl/workbook.xml" <<'EOT'
<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships"><sheets><sheet name="Équipes" sheetId="1" r:id="rId1"/></sheets></workbook>
EOT
    cat >"$tmp/xl/_rels/workbook.xml.rels" <<'EOT'
<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="worksheets/sheet1.xml"/></Relationships>
EOT
    awk -F';' 'BEGIN {
            printf "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
            printf "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><sheetData>"
        }
        {
            sub(/\r$/, "")
            printf "<row r=\"%d\">", NR
            for (i = 1; i <= NF; ++i) {
                cell = sprintf("%c%d", 64 + i, NR)
                v = $i
                gsub(/&/, "\\&amp;", v); gsub(/</, "\\&lt;", v); gsub(/>/, "\\&gt;", v)
                if (v ~ /^[0-9]+$/)
                    printf "<c r=\"%s\"><v>%s</v></c>", cell, v
                else
                    printf "<c r=\"%s\" t=\"inlineStr\"><is><t>%s</t></is></c>", cell, v
            }
            printf "</row>"
        }
        END { printf "</sheetData></worksheet>\n" }' "$csv" >"$tmp/xl/worksheets/sheet1.xml"
    (cd "$tmp" && zip -qX -r "$out" '[Content_Types].xml' _rels xl)
    rm -rf "$tmp"
}

# The calculator of one side (linux or windows), run in that side's folder.
calc_on() {
    local side=$1
    shift
    cd "$work/$side"
    if [[ $side == linux ]]; then
        "$linux/velmorin-calc" "$@"
    else
        wine "$stage/velmorin-calc.exe" "$@"
    fi
}

# One row: the same arguments to both calculators, each in its own folder; the outputs and the
# exit statuses must match.
row() {
    local name=$1
    shift
    rows=$((rows + 1))
    local linuxStatus=0 windowsStatus=0
    (calc_on linux "$@" >"$work/linux/out" 2>"$work/linux/err") || linuxStatus=$?
    (calc_on windows "$@" >"$work/windows/out" 2>"$work/windows/err") || windowsStatus=$?
    report "$name" "$linuxStatus" "$windowsStatus" "$work/linux/out" "$work/windows/out" \
        "$work/linux/err" "$work/windows/err"
}

report() {
    local name=$1 linuxStatus=$2 windowsStatus=$3
    # stderr compared without Windows' line endings, which the console text mode adds.
    if [[ $linuxStatus == "$windowsStatus" ]] && cmp -s "$4" "$5" &&
        cmp -s "$6" <(tr -d '\r' <"$7"); then
        printf 'ok    %-48s status %s, %s lines\n' "$name" "$linuxStatus" "$(wc -l <"$4")"
    else
        failures=$((failures + 1))
        printf 'FAIL  %-48s status Linux %s, Windows %s\n' "$name" "$linuxStatus" "$windowsStatus"
        diff <(cat "$4" "$6") <(cat "$5" <(tr -d '\r' <"$7")) | head -20 || true
    fi
}

# A cup read by the other side: the same table as its maker's.
crossRead() {
    local name=$1 maker=$2 reader=$3 cup=$4
    rows=$((rows + 1))
    local status=0
    if ! cp "$work/$maker/$cup" "$work/$reader/lu-$cup"; then
        failures=$((failures + 1))
        printf 'FAIL  %-48s no cup made on %s\n' "$name" "$maker"
        return
    fi
    (calc_on "$reader" --coupe "lu-$cup" --tableau >"$work/$reader/lu" 2>"$work/$reader/lu.err") ||
        status=$?
    (calc_on "$maker" --coupe "$cup" --tableau >"$work/$maker/own" 2>/dev/null) || true
    if [[ $status == 0 ]] && cmp -s "$work/$reader/lu" "$work/$maker/own"; then
        printf 'ok    %-48s %s lines\n' "$name" "$(wc -l <"$work/$reader/lu")"
    else
        failures=$((failures + 1))
        printf 'FAIL  %-48s status %s\n' "$name" "$status"
        diff "$work/$maker/own" "$work/$reader/lu" | head -20 || true
        cat "$work/$reader/lu.err"
    fi
}

echo "==== wine: first start"
wineboot -i >/dev/null 2>&1 || true

if [[ -n ${4:-} ]]; then
    echo "==== platform seams"
    rows=$((rows + 1))
    # Its report into a file: QtTest's output to a redirected standard output is lost under wine.
    if WINEPATH="$(winepath -w "$stage");$(winepath -w "$5")" wine "$(realpath "$4")" \
        -o "$(winepath -w "$work/tst_platform.log"),txt" >/dev/null 2>&1; then
        printf 'ok    %-48s %s\n' "tst_platform" "$(grep -o 'Totals:.*' "$work/tst_platform.log" | tr -d '\r')"
    else
        failures=$((failures + 1))
        printf 'FAIL  %-48s\n' "tst_platform"
        grep -a 'FAIL\|location' "$work/tst_platform.log" || tail -20 "$work/tst_platform.log"
    fi
fi

echo "==== calculator: Linux against Windows"
lists "$work/linux"
lists "$work/windows"
cup="coupe d'été.velmorin"
row "plain" 71 6 20
row "plain, csv for a French spreadsheet" --format csv --separateur ';' 71 6 20
row "counts" --counts 100 8 16
row "hexadecimal input" 0x47 6 20
row "scan" --scan 71 6
row "scan, round 4 at 3/4" --scan --tour4 3/4 100 8
row "plans" --plans 71 6
row "teams from CSV" --equipes équipes.csv --graine 7 6 20 3 1
row "teams from ODS" --equipes équipes.ods --graine 7 6 20 3 1
row "teams from XLSX" --equipes équipes.xlsx --graine 7 6 20 3 1
row "levels from ODS" --equipes équipes.ods --niveaux
row "an entrant count of few solutions" 71 6 21
row "refused: a ratio" --tour4 2/3 71 6 20
row "refused: not a number" abc 6 20
row "refused: missing list" --equipes absente.csv --niveaux
row "cup: made from the CSV list" --coupe "$cup" --nouvelle "Coupe d'été" \
    --equipes équipes.csv --graine 11 6 20 3 1
row "cup: never replaced" --coupe "$cup" --nouvelle "Coupe d'été" \
    --equipes équipes.csv --graine 11 6 20 3 1
row "cup: summary" --coupe "$cup"
row "cup: entries" --coupe "$cup" --entrees --format csv
row "cup: round 1 drawn" --coupe "$cup" --tirage 1
row "cup: a winner" --coupe "$cup" --gagnant 1 "Les Bouchons du Château" --score 13-7
row "cup: a forfeit" --coupe "$cup" --forfait 1 "Les Biberons des Platanes"
row "refused: a team not in round 1" --coupe "$cup" --gagnant 1 '#1'
row "cup: round 1" --coupe "$cup" --tour 1 --format csv
row "cup: table" --coupe "$cup" --tableau
crossRead "cup made on Linux, read on Windows" linux windows "$cup"
crossRead "cup made on Windows, read on Linux" windows linux "$cup"

echo "==== window"
caption="(2006) Calcul des tours en Velmorin"

# Starts the window with these arguments and waits for its title to be the one expected; the
# screen is kept as the row's picture. $while_open, when set, is run while the window is up.
while_open=""
window() {
    local name=$1 expected=$2 picture=$3 title="" id=""
    shift 3
    rows=$((rows + 1))
    (cd "$work/windows" && exec wine "$stage/velmorin.exe" "$@" >>window.log 2>&1) &
    for _ in $(seq 90); do
        sleep 1
        id=$(xdotool search --name "Velmorin" 2>/dev/null | head -1) || true
        title=$([[ -z $id ]] || xdotool getwindowname "$id" 2>/dev/null) || true
        [[ $title == "$expected" ]] && break
    done
    sleep 2
    # The window alone when it is there, the whole screen otherwise.
    import -window "${id:-root}" "$work/$picture" 2>/dev/null || import -window root "$work/$picture" || true
    if [[ $title == "$expected" ]]; then
        printf 'ok    %-48s %s\n' "$name" "$title"
    else
        failures=$((failures + 1))
        printf 'FAIL  %-48s title: %s\n' "$name" "${title:-(no window)}"
    fi
    [[ -z $while_open ]] || "$while_open"
    wineserver -k || true
    wait || true
}

# The window holds the cup it opened: the calculator, another program, is refused a change
# (a correction it would take otherwise: status 2, the cup unchanged) with a message naming
# the holder, which it read beside the lock the window holds.
calculator_refused_while_held() {
    rows=$((rows + 1))
    local name="held by the window: the calculator refused" status=0
    (calc_on windows --coupe "$cup" --tableau >"$work/held.before" 2>&1) || true
    (calc_on windows --coupe "$cup" --gagnant 1 "Les Bouchons du Château" --score 13-8 --corriger \
        >/dev/null 2>"$work/held.err") || status=$?
    (calc_on windows --coupe "$cup" --tableau >"$work/held.after" 2>&1) || true
    if [[ $status == 2 ]] && grep -q "est déjà ouverte pour être modifiée par le programme n° " \
        "$work/held.err" && cmp -s "$work/held.before" "$work/held.after"; then
        printf 'ok    %-48s status %s\n' "$name" "$status"
    else
        failures=$((failures + 1))
        printf 'FAIL  %-48s status %s\n' "$name" "$status"
        cat "$work/held.err"
    fi
}

window "window: the defaults" "$caption" window.png
while_open=calculator_refused_while_held
window "window: the cup given to it, in its title" "$caption — Coupe d'été" window-cup.png "$cup"
while_open=""

echo "==== $rows rows, $failures failed"
((failures == 0))
