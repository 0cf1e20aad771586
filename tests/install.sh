#!/usr/bin/env bash
# Installs a build into a temporary prefix and packages it as a .deb, then
# checks what a user gets from each.
set -euo pipefail
build=$1
version=$2

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null
[ -x "$prefix/bin/linetree" ] || fail "no executable bin/linetree"

entry=$prefix/share/applications/linetree.desktop
[ -f "$entry" ] || fail "no desktop entry"
desktop-file-validate "$entry" || fail "desktop entry does not validate"
for line in "Name=Linetree" "Exec=linetree" "Icon=linetree" "Categories=Graphics;Education;"; do
    grep -qxF "$line" "$entry" || fail "desktop entry lacks $line"
done
grep -q '^Comment=.' "$entry" || fail "desktop entry lacks a comment"

icon=$prefix/share/icons/hicolor/scalable/apps/linetree.svg
grep -q '<svg' "$icon" || fail "no scalable icon"

cpack --config "$build/CPackConfig.cmake" -B "$work/package" >/dev/null
deb=$work/package/linetree_${version}_$(dpkg --print-architecture).deb
[ -f "$deb" ] || fail "no package $(basename "$deb")"
[ "$(dpkg-deb -f "$deb" Package)" = linetree ] || fail "package name"
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "package version"
depends=$(dpkg-deb -f "$deb" Depends)
for package in libqt5core5a libqt5widgets5 libqt5opengl5 libopengl0 libgl1-mesa-dri; do
    [[ ", $depends," =~ [\ \|]$package[\ ,] ]] || fail "Depends lacks $package: $depends"
done
contents=$(dpkg-deb -c "$deb")
for file in usr/bin/linetree usr/share/applications/linetree.desktop \
        usr/share/icons/hicolor/scalable/apps/linetree.svg; do
    grep -q "\./$file\$" <<<"$contents" || fail "package lacks /$file"
done
echo "installed and packaged linetree $version: $depends"
