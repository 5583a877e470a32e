#!/usr/bin/env bash
# Installs the machine packages the build and the tests need, and cross-builds
# pugixml from Debian's source package.  Safe to run again: what is already in
# place is kept.
#
#   tools/deps.sh            packages + pugixml
set -euo pipefail

top=$(cd "$(dirname "$0")/.." && pwd)
third="$top/build/third"

packages=(
    cmake ninja-build make dpkg-dev googletest
    g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix binutils-mingw-w64
    wine wine64 xvfb x11-utils imagemagick xdotool
    fonts-wqy-microhei fonts-noto-core fonts-dejavu-core
    iproute2 procps python3
)

need=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || need+=("$p")
done

# apt-get source needs a deb-src entry: make one from the machine's own
# Debian sources (a deb822 .sources file, or the one-line entries of
# sources.list) so no archive host is named here.
srcfile=/etc/apt/sources.list.d/drvsetup-src.sources
srclist=/etc/apt/sources.list.d/drvsetup-src.list
if [ ! -f "$srcfile" ] && [ ! -f "$srclist" ]; then
    if [ -f /etc/apt/sources.list.d/debian.sources ]; then
        sed 's/^Types:.*/Types: deb-src/' /etc/apt/sources.list.d/debian.sources > "$srcfile"
    elif [ -f /etc/apt/sources.list ]; then
        { grep '^deb ' /etc/apt/sources.list || true; } | sed 's/^deb /deb-src /' > "$srclist"
    fi
    need+=(__update__)
fi

if [ ${#need[@]} -gt 0 ]; then
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    pk=()
    for p in "${need[@]}"; do [ "$p" = __update__ ] || pk+=("$p"); done
    [ ${#pk[@]} -eq 0 ] || apt-get install -y -qq --no-install-recommends "${pk[@]}" >/dev/null
fi

# pugixml: Debian's source package, cross-built for both architectures.
mkdir -p "$third"
if [ ! -d "$third/pugixml-src" ]; then
    tmp=$(mktemp -d "$third/fetch.XXXX"); chmod 755 "$tmp"
    (cd "$tmp" && apt-get source -qq --download-only pugixml >/dev/null && dpkg-source -x --no-check ./*.dsc src >/dev/null)
    mv "$tmp/src" "$third/pugixml-src"
    rm -rf "$tmp"
fi
for arch in x86_64 i686; do
    if [ ! -f "$third/pugixml-$arch/lib/libpugixml.a" ]; then
        cmake -S "$third/pugixml-src" -B "$third/pugixml-build-$arch" -G Ninja \
            -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-$arch.cmake" \
            -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=OFF -DPUGIXML_BUILD_TESTS=OFF \
            -DPUGIXML_WCHAR_MODE=OFF \
            -DCMAKE_INSTALL_PREFIX="$third/pugixml-$arch" -DCMAKE_INSTALL_LIBDIR=lib >/dev/null
        cmake --build "$third/pugixml-build-$arch" >/dev/null
        cmake --install "$third/pugixml-build-$arch" >/dev/null
    fi
done
