#!/usr/bin/env bash
# Builds the Debian package, installs it with apt (which pulls in its declared dependencies),
# checks what it installed and runs the calculator from it, then removes it again.
# Run as root (or through sudo). BUILD_DIR picks the build directory (default build).
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir=${BUILD_DIR:-build}
cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build_dir" -j"$(nproc)"

rm -f "$build_dir"/velmorin_*.deb
(cd "$build_dir" && cpack -G DEB)
debs=("$build_dir"/velmorin_*.deb)
deb=$(realpath "${debs[0]}")
echo "== $deb"
dpkg-deb --info "$deb"

depends=$(dpkg-deb --field "$deb" Depends)
if [[ -z $depends ]]; then
    echo "The package declares no dependencies." >&2
    exit 1
fi

sudo_cmd=()
if [[ $(id -u) -ne 0 ]]; then sudo_cmd=(sudo); fi
export DEBIAN_FRONTEND=noninteractive
remove() { "${sudo_cmd[@]}" apt-get remove -y -qq velmorin >/dev/null || true; }
if dpkg-query -W -f='${Status}' velmorin 2>/dev/null | grep -q "ok installed"; then remove; fi
trap remove EXIT
"${sudo_cmd[@]}" apt-get install -y -qq "$deb" >/dev/null

expected_files=(
    /usr/bin/velmorin-calc
    /usr/share/applications/velmorin.desktop
    /usr/share/icons/hicolor/32x32/apps/velmorin.png
    /usr/share/icons/hicolor/128x128/apps/velmorin.png
    /usr/share/metainfo/io.github.velmorin.Velmorin.metainfo.xml
)
# The window is checked as soon as the build makes it.
if [[ -x "$build_dir/src/app/velmorin" ]]; then expected_files+=(/usr/bin/velmorin); fi
for f in "${expected_files[@]}"; do
    if ! dpkg -S "$f" >/dev/null 2>&1 || [[ ! -e $f ]]; then
        echo "The package did not install $f" >&2
        exit 1
    fi
done

if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate /usr/share/applications/velmorin.desktop
fi
if command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net /usr/share/metainfo/io.github.velmorin.Velmorin.metainfo.xml
fi

expected=$'classe,solutions\n3,7\n2,7\n1,7'
actual=$(/usr/bin/velmorin-calc --counts 71 6 20)
if [[ $actual != "$expected" ]]; then
    printf 'velmorin-calc --counts 71 6 20 printed:\n%s\nexpected:\n%s\n' "$actual" "$expected" >&2
    exit 1
fi
echo "Installed package: velmorin-calc --counts 71 6 20 gives the expected counts."
