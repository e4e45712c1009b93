#!/usr/bin/env bash
# Builds the Debian package and checks it as Debian would: lintian, then installed with apt
# (which pulls in its declared dependencies): the files it puts in place, the hardening of its
# programs, desktop-file-validate, appstreamcli validate, and the calculator run from it.
# Any error or warning fails. The package is removed again at the end.
# Run as root (or through sudo). BUILD_DIR picks the build directory (default build).
set -euo pipefail
cd "$(dirname "$0")/.."
start=$SECONDS

build_dir=${BUILD_DIR:-build}
cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build_dir" -j"$(nproc)"

rm -f "$build_dir"/velmorin_*.deb
(cd "$build_dir" && cpack -G DEB)
debs=("$build_dir"/velmorin_*.deb)
deb=$(realpath "${debs[0]}")
echo "== $deb ($(stat -c %s "$deb") bytes)"
dpkg-deb --info "$deb"

depends=$(dpkg-deb --field "$deb" Depends)
if [[ -z $depends ]]; then
    echo "The package declares no dependencies." >&2
    exit 1
fi

# Overrides travel in the package (/usr/share/lintian/overrides/velmorin), each one explained.
echo "== lintian"
lintian --fail-on error,warning --display-info --show-overrides "$deb"
echo "lintian: no error, no warning."

sudo_cmd=()
if [[ $(id -u) -ne 0 ]]; then sudo_cmd=(sudo); fi
export DEBIAN_FRONTEND=noninteractive
remove() { "${sudo_cmd[@]}" apt-get remove -y -qq velmorin >/dev/null || true; }
if dpkg-query -W -f='${Status}' velmorin 2>/dev/null | grep -q "ok installed"; then remove; fi
trap remove EXIT
"${sudo_cmd[@]}" apt-get install -y -qq "$deb" >/dev/null

programs=(/usr/bin/velmorin-calc /usr/libexec/velmorin/velmorin-calc-listes
          /usr/libexec/velmorin/velmorin-calc-coupe)
expected_files=(
    /usr/bin/velmorin-calc
    /usr/libexec/velmorin/velmorin-calc-listes
    /usr/libexec/velmorin/velmorin-calc-coupe
    /usr/share/applications/velmorin.desktop
    /usr/share/icons/hicolor/32x32/apps/velmorin.png
    /usr/share/icons/hicolor/128x128/apps/velmorin.png
    /usr/share/metainfo/io.github.velmorin.Velmorin.metainfo.xml
    /usr/share/doc/velmorin/copyright
    /usr/share/doc/velmorin/changelog.gz
    /usr/share/man/man1/velmorin-calc.1.gz
    /usr/share/bash-completion/completions/velmorin-calc
    /usr/share/doc/velmorin/examples/exemple-equipes.csv
    /usr/share/doc/velmorin/examples/exemple-equipes.ods
    /usr/share/doc/velmorin/examples/exemple-divisions.csv
)
# The window is checked as soon as the build makes it.
if [[ -x "$build_dir/src/app/velmorin" ]]; then
    programs+=(/usr/bin/velmorin)
    expected_files+=(/usr/bin/velmorin /usr/share/man/man1/velmorin.1.gz)
fi
for f in "${expected_files[@]}"; do
    if ! dpkg -S "$f" >/dev/null 2>&1 || [[ ! -e $f ]]; then
        echo "The package did not install $f" >&2
        exit 1
    fi
done

# What dpkg-buildflags' hardening gives, read from the programs themselves. Fortify leaves a
# mark (__*_chk) only where a buffer's size is known at compile time, which plain C++ code may
# never offer: its flag is checked on every compile command instead.
for program in "${programs[@]}"; do
    dynamic=$(readelf -d "$program")
    missing=()
    grep -q 'GNU_RELRO' <<<"$(readelf -l "$program")" || missing+=("relro")
    grep -q 'BIND_NOW\|Flags:.* NOW' <<<"$dynamic" || missing+=("-z now")
    grep -q 'Flags:.* PIE' <<<"$dynamic" || missing+=("PIE")
    grep -q '__stack_chk_fail' <<<"$(readelf --dyn-syms -W "$program")" ||
        missing+=("stack protector")
    if ((${#missing[@]})); then
        echo "$program lacks hardening: ${missing[*]}" >&2
        exit 1
    fi
done
commands=$(grep -c '"command"' "$build_dir/compile_commands.json")
fortified=$(grep '"command"' "$build_dir/compile_commands.json" |
    grep -c -- '-O2 .*-fstack-protector-strong .*-D_FORTIFY_SOURCE=2' || true)
if ((fortified != commands)); then
    echo "Only $fortified of $commands compile commands have -O2, the stack protector and" \
        "-D_FORTIFY_SOURCE=2." >&2
    exit 1
fi
echo "Hardening: relro, bind now, PIE and stack protector in ${programs[*]};" \
    "-D_FORTIFY_SOURCE=2 with -O2 in all $commands compile commands."

# Both validators print nothing but their verdict when all is well.
echo "== desktop-file-validate"
validation=$(desktop-file-validate /usr/share/applications/velmorin.desktop 2>&1) || true
if [[ -n $validation ]]; then
    echo "$validation" >&2
    exit 1
fi
echo "== appstreamcli validate --no-net"
metainfo=/usr/share/metainfo/io.github.velmorin.Velmorin.metainfo.xml
if ! validation=$(appstreamcli validate --no-net "$metainfo" 2>&1) ||
    grep -qE '^[EW]: ' <<<"$validation"; then
    echo "$validation" >&2
    exit 1
fi
echo "$validation"

expected=$'classe,solutions\n3,7\n2,7\n1,7'
actual=$(/usr/bin/velmorin-calc --counts 71 6 20)
if [[ $actual != "$expected" ]]; then
    printf 'velmorin-calc --counts 71 6 20 printed:\n%s\nexpected:\n%s\n' "$actual" "$expected" >&2
    exit 1
fi
echo "Installed package: velmorin-calc --counts 71 6 20 gives the expected counts."

# The team lists need libcsv and liborcus at run time (velmorin-calc-listes): the package
# must have pulled them in.
for list in /usr/share/doc/velmorin/examples/exemple-equipes.{csv,ods}; do
    last=$(/usr/bin/velmorin-calc --equipes "$list" --graine 7 6 44 3 3 | tail -n 1)
    if [[ $last != "Hors niveau : 15 équipes" ]]; then
        echo "velmorin-calc --equipes $list --graine 7 6 44 3 3 ended with '$last'" >&2
        exit 1
    fi
done
echo "Installed package: the sample team list reads as CSV and as ODS."

# A cup file needs Qt SQL's SQLite driver at run time (velmorin-calc-coupe).
cup_dir=$(mktemp -d)
trap 'rm -rf "$cup_dir"; remove' EXIT
/usr/bin/velmorin-calc --coupe "$cup_dir/essai.velmorin" --nouvelle "Essai" \
    --equipes /usr/share/doc/velmorin/examples/exemple-equipes.csv --graine 7 6 44 3 3
if ! /usr/bin/velmorin-calc --coupe "$cup_dir/essai.velmorin" --format csv | grep -qx 'nom,Essai'; then
    echo "velmorin-calc --coupe could not read back the cup it made" >&2
    exit 1
fi
echo "Installed package: a cup file is made and read back."
echo "Package check passed in $((SECONDS - start)) s."
