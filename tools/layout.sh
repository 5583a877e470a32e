#!/usr/bin/env bash
# Lays out the demo product's setup folder: the configuration document and
# the product files from product/setup, the built programs and the built
# stand-in components.
#
#   tools/layout.sh DEST
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
dest=${1:?destination folder}
rm -rf "$dest"
mkdir -p "$dest"
cp -r "$top/product/setup/." "$dest/"
rm -f "$dest/LAYOUT.txt"
cp "$top/build/x64/drvinst64.exe" "$dest/"
cp "$top/build/x32/drvuninst32.exe" "$dest/"
# The bitmap libraries live beside the programs.
cp "$top/build/x64/Bmprcx64.dll" "$top/build/x32/Bmprcx32.dll" "$dest/"
# Built parts of the product package (stand-ins, libraries) land in
# build/<arch>/product-out/ mirroring their place in the setup folder.
for arch in x64 x32; do
    if [ -d "$top/build/$arch/product-out" ]; then
        cp -r "$top/build/$arch/product-out/." "$dest/"
    fi
done
