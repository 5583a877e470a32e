#!/usr/bin/env bash
# Developer build in a folder of its own: tools/devbuild.sh NAME [x64|x32]
# configures (once) and builds build/dev-NAME-ARCH, so several people can
# build the same tree at once without sharing a build folder.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
name=${1:?name}; arch=${2:-x64}
triplet=x86_64; [ "$arch" = x32 ] && triplet=i686
dir="$top/build/dev-$name-$arch"
[ -f "$top/build/third/pugixml-$triplet/lib/libpugixml.a" ] || bash "$top/tools/deps.sh"
if [ ! -f "$dir/build.ninja" ]; then
    cmake -S "$top" -B "$dir" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-$triplet.cmake" \
        -DCMAKE_BUILD_TYPE=Release -DCMAKE_CROSSCOMPILING_EMULATOR="$top/tools/wine-exec" \
        -DPUGIXML_ROOT="$top/build/third/pugixml-$triplet" >/dev/null
fi
cmake --build "$dir" -- -j2
echo "built: $dir"
