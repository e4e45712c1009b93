#!/usr/bin/env bash
# Cross-builds Velmorin for 64-bit Windows on Debian 12 and checks it under wine.
#
#   bash scripts/windows.sh            every step, in order
#   bash scripts/windows.sh STEP...    only those steps (deps sources sqlite qt libs app package check)
#
# Qt and the libraries are built from Debian's own source packages with Debian's MinGW-w64
# compilers (posix threads), once, into a cache outside the tree
# (${VELMORIN_WINDOWS_CACHE:-/var/cache/velmorin-windows}); each lands in a folder named after
# Debian's version of its source and a digest of the recipe below, so a later run reuses it until
# either changes. The long builds run under nice -n 19: the machine may be shared.
# Results: build-windows/velmorin-VERSION-windows-x64.zip and build-windows/velmorin-VERSION-setup.exe.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
root=$PWD

cache=${VELMORIN_WINDOWS_CACHE:-/var/cache/velmorin-windows}
out=$root/build-windows
jobs=${JOBS:-$(nproc)}
host=x86_64-w64-mingw32
low=(nice -n 19)

timings=()
step_times() { if ((${#timings[@]})); then printf "%s\n" "==== Windows step times" "${timings[@]}"; fi; }
trap step_times EXIT

as_root() {
    if [[ $(id -u) -eq 0 ]]; then "$@"; else sudo "$@"; fi
}

# The version Debian offers of a source package: the cache folders are named after it.
source_version() {
    apt-cache showsrc --only-source "$1" | awk '/^Version:/ { print $2; exit }'
}

# A recipe's digest: the function that builds a piece, so that changing its flags rebuilds it.
recipe() {
    declare -f "$@" | sha1sum | cut -c1-10
}

# ---- deps: the cross compilers, wine, NSIS and the tools, and a deb-src entry for apt-get source.
step_deps() {
    local packages=(
        g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
        mingw-w64-tools libz-mingw-w64-dev
        cmake ninja-build pkg-config dpkg-dev tcl bison
        qt6-base-dev qt6-base-dev-tools qt6-tools-dev-tools
        wine wine64 xvfb xauth xdotool imagemagick
        nsis zip unzip
    )
    local sources=/etc/apt/sources.list.d/debian.sources
    if ! grep -rqs '^Types:.*deb-src\|^deb-src ' /etc/apt/sources.list /etc/apt/sources.list.d/; then
        echo "Adding deb-src entries mirroring the deb ones in $sources"
        # Each deb stanza again as deb-src, so that apt-get source finds the same suites.
        sed -n '/^Types:/,/^$/p' "$sources" | sed 's/^Types: deb$/Types: deb-src/' |
            as_root tee /etc/apt/sources.list.d/debian-src.sources >/dev/null
        as_root apt-get update -qq
    fi
    local missing=()
    for p in "${packages[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
    done
    if ((${#missing[@]})); then
        echo "Installing: ${missing[*]}"
        as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
    fi
}

# ---- sources: Debian's source packages, unpacked once into the cache.
source_packages=(qt6-base sqlite3 libcsv libzip boost1.81 mdds liborcus)

source_dir() {
    echo "$cache/src/$1-$(source_version "$1")"
}

step_sources() {
    mkdir -p "$cache/src"
    local p dir
    for p in "${source_packages[@]}"; do
        dir=$(source_dir "$p")
        [[ -f $dir/.unpacked ]] && continue
        rm -rf "$dir" "$dir.tmp"
        mkdir -p "$dir.tmp"
        (cd "$dir.tmp" && apt-get source -qq --only-source "$p=$(source_version "$p")" >/dev/null)
        # apt-get source leaves the tarballs and one unpacked folder: keep only the folder.
        mv "$(find "$dir.tmp" -mindepth 1 -maxdepth 1 -type d | head -1)" "$dir"
        rm -rf "$dir.tmp"
        touch "$dir/.unpacked"
    done
}

# The CMake toolchain of every cross build: Debian's MinGW-w64 with posix threads, looking for
# headers and libraries only in MinGW's tree and the cache's prefix.
prefix=$cache/prefix
toolchain=$cache/mingw-w64.cmake

write_toolchain() {
    mkdir -p "$cache"
    cat >"$toolchain.tmp" <<EOT
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER $host-gcc-posix)
set(CMAKE_CXX_COMPILER $host-g++-posix)
set(CMAKE_RC_COMPILER $host-windres)
set(CMAKE_FIND_ROOT_PATH /usr/$host $prefix)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
EOT
    mv "$toolchain.tmp" "$toolchain"
}

# A piece is built once per Debian version and recipe: its stamp names both.
stamp_of() {
    echo "$prefix/.built/$1-$(source_version "$1")-$(recipe "build_$2")"
}

build_once() {
    local package=$1 piece=$2 stamp
    stamp=$(stamp_of "$package" "$piece")
    if [[ -f $stamp ]]; then
        echo "$piece: reused ($(basename "$stamp"))"
        return
    fi
    mkdir -p "$prefix/.built" "$cache/build"
    "build_$piece"
    rm -f "$prefix/.built/$package-"*
    touch "$stamp"
}

# ---- sqlite: one DLL, shared by Qt's SQLite driver and the cup store, which talks to the
# driver's own handle. Debian's compile options (debian/rules).
build_sqlite() {
    local src work
    src=$(source_dir sqlite3)
    work=$cache/build/sqlite3
    rm -rf "$work"
    mkdir -p "$work"
    # The amalgamation is generated on the build machine (tclsh), then cross-compiled.
    (cd "$work" && "$src/configure" --disable-tcl >/dev/null && make -s sqlite3.c)
    mkdir -p "$prefix/bin" "$prefix/lib" "$prefix/include" "$prefix/lib/pkgconfig"
    "${low[@]}" $host-gcc-posix -O2 -fno-strict-aliasing -shared \
        -DSQLITE_SECURE_DELETE -DSQLITE_ENABLE_COLUMN_METADATA -DSQLITE_ENABLE_FTS3 \
        -DSQLITE_ENABLE_FTS3_PARENTHESIS -DSQLITE_ENABLE_RTREE=1 -DSQLITE_SOUNDEX=1 \
        -DSQLITE_ENABLE_UNLOCK_NOTIFY -DSQLITE_OMIT_LOOKASIDE=1 -DSQLITE_ENABLE_DBSTAT_VTAB \
        -DSQLITE_ENABLE_UPDATE_DELETE_LIMIT=1 -DSQLITE_ENABLE_JSON1 \
        -DSQLITE_LIKE_DOESNT_MATCH_BLOBS -DSQLITE_THREADSAFE=1 -DSQLITE_USE_URI=1 \
        -DSQLITE_MAX_SCHEMA_RETRY=25 -DSQLITE_MAX_VARIABLE_NUMBER=250000 \
        "-DSQLITE_API=__declspec(dllexport)" \
        "$work/sqlite3.c" -o "$prefix/bin/libsqlite3-0.dll" \
        -Wl,--out-implib,"$prefix/lib/libsqlite3.dll.a"
    cp "$work/sqlite3.h" "$work/sqlite3ext.h" "$prefix/include/"
    local version
    version=$(sed -n 's/^#define SQLITE_VERSION *"\(.*\)"/\1/p' "$work/sqlite3.h")
    cat >"$prefix/lib/pkgconfig/sqlite3.pc" <<EOT
prefix=$prefix
libdir=\${prefix}/lib
includedir=\${prefix}/include
Name: SQLite
Description: SQL database engine
Version: $version
Libs: -L\${libdir} -lsqlite3
Cflags: -I\${includedir}
EOT
}

step_sqlite() {
    write_toolchain
    build_once sqlite3 sqlite
}

# ---- qt: Core, Gui, Widgets, PrintSupport, Sql (SQLite only) and Test, shared, release; the
# host tools (moc, rcc, uic) are Debian's own Qt of the same version.
build_qt() {
    local src work
    src=$(source_dir qt6-base)
    work=$cache/build/qtbase
    # Kept between runs, so that a build cut short goes on where it stopped; started again for
    # another version of the source.
    if [[ -f $work/CMakeCache.txt ]] &&
        ! grep -qxF "CMAKE_HOME_DIRECTORY:INTERNAL=$src" "$work/CMakeCache.txt"; then
        rm -rf "$work"
    fi
    mkdir -p "$work"
    # Debian's source leaves out Wacom's Wintab headers (their licence forbids changes): the
    # Windows plugin is built without Wintab tablets, as its own fallbacks allow; pens still
    # reach it through Windows' pointer messages.
    local plugin=$src/src/plugins/platforms/windows
    sed -i 's/^qt_internal_extend_target(QWindowsIntegrationPlugin CONDITION QT_FEATURE_tabletevent$/qt_internal_extend_target(QWindowsIntegrationPlugin CONDITION FALSE/' \
        "$plugin/CMakeLists.txt"
    # The Direct2D plugin builds the same tablet support from the Windows plugin's sources.
    sed -i 's/^qt_internal_extend_target(QWindowsDirect2DIntegrationPlugin CONDITION QT_FEATURE_tabletevent$/qt_internal_extend_target(QWindowsDirect2DIntegrationPlugin CONDITION FALSE/' \
        "$src/src/plugins/platforms/direct2d/CMakeLists.txt"
    sed -i 's/^#if QT_CONFIG(tabletevent)$/#if 0 \/\/ no Wintab/' "$plugin/qwindowscontext.cpp"
    sed -i '/^#  include "qwindowstabletsupport.h"$/d' "$plugin/qwindowspointerhandler.cpp"
    # Qt 6.4's window code asks for OpenGL's dynamic loading even when OpenGL is left out.
    sed -i 's/^#if QT_CONFIG(dynamicgl)$/#if QT_CONFIG(dynamicgl) \&\& QT_CONFIG(opengl)/' \
        "$plugin/qwindowswindow.cpp"
    "${low[@]}" cmake -G Ninja -S "$src" -B "$work" \
        -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
        -DCMAKE_INSTALL_PREFIX="$prefix" \
        -DCMAKE_BUILD_TYPE=Release \
        -DBUILD_SHARED_LIBS=ON \
        -DQT_HOST_PATH=/usr \
        -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
        -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF \
        -DFEATURE_sql=ON -DFEATURE_sql_sqlite=ON -DFEATURE_system_sqlite=ON \
        -DSQLite3_INCLUDE_DIR="$prefix/include" -DSQLite3_LIBRARY="$prefix/lib/libsqlite3.dll.a" \
        -DFEATURE_sql_odbc=OFF -DFEATURE_sql_psql=OFF -DFEATURE_sql_mysql=OFF \
        -DFEATURE_sql_ibase=OFF -DFEATURE_sql_oci=OFF -DFEATURE_sql_db2=OFF \
        -DFEATURE_network=OFF -DFEATURE_dbus=OFF -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF \
        -DFEATURE_opengl=OFF -DFEATURE_vulkan=OFF -DFEATURE_printsupport=ON \
        -DFEATURE_testlib=ON -DFEATURE_sql_sqlite=ON \
        -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_freetype=OFF \
        -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_libpng=OFF -DFEATURE_system_jpeg=OFF \
        -DFEATURE_system_doubleconversion=OFF \
        -DFEATURE_gui=ON -DFEATURE_widgets=ON \
        >"$cache/build/qtbase-configure.log"
    "${low[@]}" cmake --build "$work" -j"$jobs" >"$cache/build/qtbase-build.log"
    cmake --install "$work" >/dev/null
}

step_qt() {
    write_toolchain
    build_once qt6-base qt
}

# ---- libs: libcsv, libzip, Boost (filesystem, system), mdds and liborcus, static, so that none
# is a DLL to ship; zlib is MinGW's (Debian: libz-mingw-w64-dev), linked in whole.
zlib_a=/usr/$host/lib/libz.a

cross_env() {
    env PKG_CONFIG_LIBDIR="$prefix/lib/pkgconfig:/usr/$host/lib/pkgconfig" PKG_CONFIG_PATH= \
        CC=$host-gcc-posix CXX=$host-g++-posix AR=$host-ar RANLIB=$host-ranlib "$@"
}

# A static library's pkg-config file gives what it needs itself (Libs.private, and the libraries
# given after its extra compile flags) to every user.
pkgconfig_static() {
    local pc=$prefix/lib/pkgconfig/$1.pc private
    private="$(sed -n 's/^Libs.private: *//p' "$pc") ${3:-}"
    sed -i -e '/^Libs.private:/d' -e "s|^Libs: \(.*\)|Libs: \1 $private|" "$pc"
    [[ -z ${2:-} ]] || sed -i "s|^Cflags: \(.*\)|Cflags: \1 $2|" "$pc"
}

# zlib is named (-lz) in the pkg-config files, found as the static copy in the prefix (MinGW's
# own folder also has its DLL's): CMake would put a library given by its path among the link
# options, before the libraries that need it.
static_zlib() {
    cp "$zlib_a" "$prefix/lib/libz.a"
    sed -i "s|$zlib_a|-lz|g" "$prefix/lib/pkgconfig/libzip.pc" "$prefix/lib/pkgconfig/liborcus-0.17.pc"
}

build_csv() {
    local work=$cache/build/libcsv
    rm -rf "$work" && cp -a "$(source_dir libcsv)" "$work"
    (cd "$work" && cross_env "${low[@]}" ./configure --build="$(dpkg-architecture -qDEB_BUILD_GNU_TYPE)" --host=$host --prefix="$prefix" \
        --disable-shared --enable-static >/dev/null && "${low[@]}" make -s -j"$jobs" &&
        make -s install) >"$cache/build/libcsv.log" 2>&1
}

build_zip() {
    local work=$cache/build/libzip
    rm -rf "$work"
    "${low[@]}" cmake -G Ninja -S "$(source_dir libzip)" -B "$work" \
        -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_INSTALL_PREFIX="$prefix" \
        -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=OFF \
        -DZLIB_INCLUDE_DIR=/usr/$host/include -DZLIB_LIBRARY="$zlib_a" \
        -DENABLE_BZIP2=OFF -DENABLE_LZMA=OFF -DENABLE_ZSTD=OFF -DENABLE_GNUTLS=OFF \
        -DENABLE_OPENSSL=OFF -DENABLE_MBEDTLS=OFF -DENABLE_COMMONCRYPTO=OFF \
        -DENABLE_WINDOWS_CRYPTO=OFF -DBUILD_TOOLS=OFF -DBUILD_REGRESS=OFF \
        -DBUILD_EXAMPLES=OFF -DBUILD_DOC=OFF >"$cache/build/libzip.log"
    "${low[@]}" cmake --build "$work" -j"$jobs" >>"$cache/build/libzip.log"
    cmake --install "$work" >/dev/null
    # zip.h declares its functions dllimport unless told the library is static.
    pkgconfig_static libzip -DZIP_STATIC
}

build_boost() {
    local src work
    src=$(source_dir boost1.81)
    work=$cache/build/boost
    rm -rf "$work" && mkdir -p "$work"
    echo "using gcc : mingw : $host-g++-posix ;" >"$work/user-config.jam"
    # Debian's source leaves out b2's generated parser: made again as debian/rules does.
    (cd "$src/tools/build" && bison -y -d -o src/engine/jamgram.cpp src/engine/jamgram.y)
    (cd "$src" && ./bootstrap.sh --with-libraries=filesystem,system >"$cache/build/boost.log" &&
        "${low[@]}" ./b2 -q -d0 --user-config="$work/user-config.jam" --build-dir="$work" \
            --prefix="$prefix" --layout=system toolset=gcc-mingw target-os=windows \
            address-model=64 architecture=x86 threading=multi link=static variant=release \
            --with-filesystem --with-system -j"$jobs" install >>"$cache/build/boost.log")
}

build_mdds() {
    # Headers alone; liborcus asks pkg-config for them.
    local version
    version=$(source_version mdds)
    version=${version%%-*}
    rm -rf "$prefix/include/mdds-2.0" && mkdir -p "$prefix/include/mdds-2.0"
    cp -a "$(source_dir mdds)/include/mdds" "$prefix/include/mdds-2.0/"
    cat >"$prefix/lib/pkgconfig/mdds-2.0.pc" <<EOT
Name: mdds
Description: Multi-dimensional data structure collection
Version: $version
Cflags: -I$prefix/include/mdds-2.0
EOT
}

build_orcus() {
    local work=$cache/build/liborcus
    rm -rf "$work" && cp -a "$(source_dir liborcus)" "$work"
    # The UTF-16 workaround it takes for Windows is for MSVC's library; GCC's has char16_t.
    sed -i 's/^#if defined(_WIN32)$/#if defined(_MSC_VER)/' "$work/src/parser/stream.cpp"
    (cd "$work" && cross_env ZLIB_CFLAGS="-I/usr/$host/include" ZLIB_LIBS="$zlib_a" \
        "${low[@]}" ./configure --build="$(dpkg-architecture -qDEB_BUILD_GNU_TYPE)" --host=$host --prefix="$prefix" --disable-shared --enable-static \
        --with-boost="$prefix" --without-tools --disable-spreadsheet-model --disable-python \
        --without-ods-filter --without-xlsx-filter --without-xls-xml-filter \
        --without-gnumeric-filter --disable-werror >/dev/null &&
        "${low[@]}" make -s -j"$jobs" && make -s install) >"$cache/build/liborcus.log" 2>&1
    # Its zip reader inflates with zlib, which its pkg-config file leaves out.
    pkgconfig_static liborcus-0.17 "" "$zlib_a"
}

step_libs() {
    write_toolchain
    mkdir -p "$prefix/lib/pkgconfig"
    build_once libcsv csv
    build_once libzip zip
    build_once boost1.81 boost
    build_once mdds mdds
    build_once liborcus orcus
    static_zlib
}

# ---- app: Velmorin cross-built against the cache's Qt and libraries.
app_build=$out/build
programs=(velmorin velmorin-calc velmorin-calc-listes velmorin-calc-coupe)

step_app() {
    write_toolchain
    local launcher=()
    if command -v ccache >/dev/null; then
        launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    fi
    cross_env cmake -G Ninja -S "$root" -B "$app_build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
        -DCMAKE_BUILD_TYPE=Release -DCMAKE_PREFIX_PATH="$prefix" \
        -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
        -DVELMORIN_BUILD_BENCH=OFF "${launcher[@]}" >"$out/configure.log"
    cross_env "${low[@]}" cmake --build "$app_build" -j"$jobs" \
        --target "${programs[@]}" tst_platform >"$out/build.log"
}

# A program built for Windows: Qt's project setup puts the programs defined after it at the top
# of the build folder (Windows finds DLLs beside a program), the calculator's stay in src/cli.
built_program() {
    local found
    found=$(find "$app_build" -name "$1.exe" -not -path '*/CMakeFiles/*' | head -1)
    [[ -n $found ]] || { echo "$1.exe has not been built" >&2; return 1; }
    echo "$found"
}

# ---- package: the zip and the installer.
version() {
    sed -n 's/^ *VERSION \([0-9.]*\)$/\1/p' "$root/CMakeLists.txt" | head -1
}

# Where a DLL named by a program comes from: the cache's prefix or MinGW's runtime. Windows'
# own DLLs are found in neither and are not shipped.
find_dll() {
    local name=$1 path
    for path in "$prefix/bin/$name" "/usr/$host/lib/$name" \
        "$($host-g++-posix -print-file-name="$name")"; do
        if [[ -f $path ]]; then
            echo "$path"
            return 0
        fi
    done
    return 1
}

# Copies into the stage every DLL these files need, and the DLLs those need.
add_dlls() {
    local stage=$1 queue name path
    shift
    queue=("$@")
    while ((${#queue[@]})); do
        for name in $($host-objdump -p "${queue[0]}" | sed -n 's/^\s*DLL Name: //p'); do
            [[ -e $stage/$name ]] && continue
            path=$(find_dll "$name") || continue
            cp "$path" "$stage/$name"
            queue+=("$stage/$name")
        done
        queue=("${queue[@]:1}")
    done
}

# A text for Windows' editors: CRLF line endings.
crlf() {
    sed 's/$/\r/' "$1" >"$2"
}

# What the installer's parts install and its uninstaller removes, as NSIS macros.
nsis_lists() {
    local stage=$1 name folder calculator=" velmorin-calc.exe velmorin-calc-listes.exe velmorin-calc-coupe.exe "
    echo '!macro InstallWindow'
    (cd "$stage" && find . -type f | sort) | while read -r name; do
        name=${name#./}
        [[ $calculator == *" $name "* ]] && continue
        folder=$(dirname "$name")
        if [[ $folder == . ]]; then
            echo '    SetOutPath "$INSTDIR"'
        else
            echo "    SetOutPath \"\$INSTDIR\\${folder//\//\\}\""
        fi
        echo "    File \"$stage/$name\""
    done
    echo '!macroend'
    echo '!macro InstallCalculator'
    echo '    SetOutPath "$INSTDIR"'
    for name in $calculator; do echo "    File \"$stage/$name\""; done
    echo '!macroend'
    echo '!macro RemoveAll'
    (cd "$stage" && find . -type f | sort) | while read -r name; do
        name=${name#./}
        echo "    Delete \"\$INSTDIR\\${name//\//\\}\""
    done
    (cd "$stage" && find . -mindepth 1 -type d | sort -r) | while read -r name; do
        name=${name#./}
        echo "    RMDir \"\$INSTDIR\\${name//\//\\}\""
    done
    echo '!macroend'
}

step_package() {
    local v stage name
    v=$(version)
    stage=$out/velmorin-$v
    rm -rf "$stage" && mkdir -p "$stage/platforms" "$stage/styles" "$stage/sqldrivers" \
        "$stage/translations"
    for name in "${programs[@]}"; do
        cp "$(built_program "$name")" "$stage/"
    done
    cp "$prefix/plugins/platforms/qwindows.dll" "$stage/platforms/"
    cp "$prefix/plugins/styles/qwindowsvistastyle.dll" "$stage/styles/"
    cp "$prefix/plugins/sqldrivers/qsqlite.dll" "$stage/sqldrivers/"
    add_dlls "$stage" "$stage"/*.exe "$stage"/*/*.dll
    $host-strip --strip-unneeded "$stage"/*.exe "$stage"/*.dll "$stage"/*/*.dll
    # Qt's own French texts (its dialogs' buttons), from Debian's Qt of the same version.
    cp /usr/share/qt6/translations/qtbase_fr.qm "$stage/translations/"
    cp "$root/packaging/windows/qt.conf" "$stage/"
    # The texts, in French: what this is, the manuals, the rights.
    sed "s/@VERSION@/$v/g" "$root/packaging/windows/LISEZMOI.txt" >"$out/LISEZMOI.txt"
    crlf "$out/LISEZMOI.txt" "$stage/LISEZMOI.txt"
    for name in velmorin velmorin-calc; do
        groff -man -Tutf8 -P-cbou "$app_build/packaging/man/$name.1" 2>/dev/null >"$out/$name.txt"
        crlf "$out/$name.txt" "$stage/manuel-$name.txt"
    done
    crlf "$root/packaging/copyright" "$stage/DROITS.txt"
    crlf "$(source_dir qt6-base)/LICENSES/LGPL-3.0-only.txt" "$stage/LICENCE-Qt-LGPL-3.0.txt"

    local zip=$out/velmorin-$v-windows-x64.zip
    rm -f "$zip"
    (cd "$out" && zip -qr9X "$zip" "velmorin-$v")

    # The installer: the calculator's programs only when asked for, and the uninstaller removes
    # exactly what was installed.
    local files=$out/files.nsh
    nsis_lists "$stage" >"$files"
    makensis -V2 -DVERSION="$v" -DOUTFILE="$out/velmorin-$v-setup.exe" -DFILES="$files" \
        "$root/packaging/windows/velmorin.nsi" >"$out/nsis.log"
    ls -l "$zip" "$out/velmorin-$v-setup.exe"
}

# ---- check: under wine, against the Linux calculator (built here when the tree has none).
step_check() {
    local linux=${LINUX_BUILD_DIR:-${BUILD_DIR:-$root/build}}/src/cli
    if [[ ! -x $linux/velmorin-calc || ! -x $linux/velmorin-calc-coupe ]]; then
        linux=$out/linux/src/cli
        cmake -S "$root" -B "$out/linux" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
            -DVELMORIN_BUILD_BENCH=OFF >"$out/linux-configure.log"
        "${low[@]}" cmake --build "$out/linux" -j"$jobs" \
            --target velmorin-calc velmorin-calc-listes velmorin-calc-coupe >"$out/linux-build.log"
    fi
    local status=0
    xvfb-run -a -s "-screen 0 1280x800x24" \
        bash "$root/scripts/windows-check.sh" "$out/velmorin-$(version)" "$linux" "$out/check" \
            "$(built_program tst_platform)" "$prefix/bin" ||
        status=$?
    return "$status"
}

# ---- main
run_step() {
    local name=$1 start
    start=$(date +%s)
    echo "==== windows: $name"
    "step_$name"
    timings+=("$(printf '%-10s %5d s' "$name" $(($(date +%s) - start)))")
}

all_steps=(deps sources sqlite qt libs app package check)
if [[ ${BASH_SOURCE[0]} == "$0" ]]; then
    for s in "${@:-${all_steps[@]}}"; do
        run_step "$s"
    done
fi
