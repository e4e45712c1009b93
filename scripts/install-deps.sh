#!/usr/bin/env bash
# Installs, with apt-get, whatever of the build and test dependencies is missing.
# Debian 12, run as root (or through sudo). With --tests, also the PostgreSQL server the tests
# of a cup on a server start for themselves (the program itself needs none).
# Usage: scripts/install-deps.sh [--tests]
set -euo pipefail

packages=(
    build-essential cmake pkg-config
    qt6-base-dev qt6-base-dev-tools libgl-dev
    qt6-translations-l10n
    libbenchmark-dev
    libcsv-dev liborcus-dev libzip-dev
    libqt6sql6-sqlite libsqlite3-dev
    libqt6sql6-psql
    fonts-liberation fonts-urw-base35 fonts-dejavu-core
    xvfb xauth
    clang libclang-rt-14-dev
    dpkg-dev file
    lintian desktop-file-utils appstream man-db groff-base
    locales libc-l10n
    poppler-utils
    chromium
    libboost-dev libqrencode-dev
)

if [[ ${1:-} == --tests ]]; then
    packages+=(postgresql)
fi

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed"; then
        missing+=("$p")
    fi
done

if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    sudo_cmd=()
    if [[ $(id -u) -ne 0 ]]; then sudo_cmd=(sudo); fi
    export DEBIAN_FRONTEND=noninteractive
    "${sudo_cmd[@]}" apt-get update -qq
    "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
