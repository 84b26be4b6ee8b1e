#!/usr/bin/env bash
# Builds the release programs (optimised, stripped) and writes to dist/:
#   Kiv-<version>.zip        the four programs, KIV.chm, README.txt (Japanese) and LICENSE.txt
#   Kiv-<version>-setup.exe  the Windows installer (NSIS, Japanese, per-user)
# The version is the project version in CMakeLists.txt. Prints each program's size.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KIV_RELEASE_DIR:-$root/build-release}
dist=${KIV_DIST_DIR:-$root/dist}
"$root/scripts/deps.sh"

version=$(sed -n 's/^project(Kiv VERSION \([0-9][0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
if [ -z "$version" ]; then
    echo "package: no 'project(Kiv VERSION x.y.z ...)' in CMakeLists.txt" >&2
    exit 1
fi

if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$root" -B "$build" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
        -DCMAKE_BUILD_TYPE=Release -DKIV_BUILD_TESTS=OFF
fi
cmake --build "$build" -j "$(nproc)"

name="Kiv-$version"
stage="$build/stage/$name"
rm -rf "$build/stage"
mkdir -p "$stage" "$dist"
for program in Kiv.exe KivProp.kxe KivRen.kxe KivAbout.kxe; do
    x86_64-w64-mingw32-strip -o "$stage/$program" "$build/bin/$program"
done
cp "$build/bin/KIV.chm" "$stage/"
# Windows readers expect the readme in code page 932 with CR LF line ends.
sed "s/@VERSION@/$version/; s/\$/\r/" "$root/installer/README-ja.txt" | iconv -f UTF-8 -t CP932 \
    > "$stage/README.txt"
sed 's/$/\r/' "$root/LICENSE" > "$stage/LICENSE.txt"

zip_file="$dist/$name.zip"
rm -f "$zip_file"
(cd "$build/stage" && zip -q -r -X "$zip_file" "$name")

setup="$dist/$name-setup.exe"
cp "$root/launcher/res/Kiv.ico" "$build/stage/Kiv.ico"
makensis -V2 -INPUTCHARSET UTF8 -DVERSION="$version" -DSTAGE="$build/stage/$name" \
    -DICON="$build/stage/Kiv.ico" -DOUTFILE="$setup" "$root/installer/Kiv.nsi"

echo "package: version $version"
for program in Kiv.exe KivProp.kxe KivRen.kxe KivAbout.kxe KIV.chm; do
    printf 'package: %-12s %9d bytes\n' "$program" "$(stat -c %s "$stage/$program")"
done
printf 'package: %s %d bytes\n' "$zip_file" "$(stat -c %s "$zip_file")"
printf 'package: %s %d bytes\n' "$setup" "$(stat -c %s "$setup")"
