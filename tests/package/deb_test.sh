#!/usr/bin/env bash
# Checks the Debian package as a file: its name and control fields (the version of the
# project, dependencies from the binaries plus fonts-wine), files owned by root, and then,
# unpacked, the installed tree (check_tree.sh).
# Usage: deb_test.sh PACKAGE.deb SOURCE_DIR BUILD_DIR VERSION
set -u
deb=$1
source_dir=$2
build_dir=$3
version=$4
here=$(cd "$(dirname "$0")" && pwd)
failures=0
fail() {
  echo "deb_test: $*" >&2
  failures=$((failures + 1))
}
[ -f "$deb" ] || { echo "deb_test: no package $deb (the package test makes it)" >&2; exit 1; }
[ "$(basename "$deb")" = "spirals_${version}_amd64.deb" ] || fail "the package is named $(basename "$deb")"

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = spirals ] || fail "Package: $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version: $(field Version), want $version"
[ "$(field Architecture)" = amd64 ] || fail "Architecture: $(field Architecture)"
depends=$(field Depends)
echo "Depends: $depends"
# fonts-wine for the System font, and what dpkg-shlibdeps finds the program linked against.
names=$(tr ',' '\n' <<<"$depends" | sed 's/^ *//; s/ .*//')
for package in fonts-wine libc6 libstdc++6 libsdl2-2.0-0 libx11-6 libwayland-client0 libwayland-cursor0 \
  libxkbcommon0 libfreetype6 libfontconfig1; do
  grep -qxF "$package" <<<"$names" || fail "Depends lacks $package"
done
grep -Eq 'libc6 \(>= [0-9.]+\)' <<<"$depends" || fail "libc6 has no version from shlibdeps"
# The headless runner's libraries are not the program's.
for package in libpng16-16 libgif7; do
  grep -qxF "$package" <<<"$names" && fail "Depends names $package, which the program does not use"
done
[ -n "$(field Maintainer)" ] || fail "no Maintainer"
[ -n "$(field Description)" ] || fail "no Description"

owners=$(dpkg-deb --fsys-tarfile "$deb" | tar -tvf - | awk '{ print $2 }' | sort -u)
[ "$owners" = root/root ] || fail "files owned by $owners, want root/root"
paths=$(dpkg-deb --fsys-tarfile "$deb" | tar -tf - | grep -v '/$' | sed 's|^\./||')
grep -qv '^usr/' <<<"$paths" && fail "files outside /usr: $(grep -v '^usr/' <<<"$paths" | tr '\n' ' ')"

unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
dpkg-deb -x "$deb" "$unpacked" || { echo "deb_test: dpkg-deb cannot unpack $deb" >&2; exit 1; }
[ "$(ls "$unpacked")" = usr ] || fail "the package holds more than /usr: $(ls "$unpacked" | tr '\n' ' ')"
"$here/check_tree.sh" "$unpacked/usr" "$source_dir" "$build_dir" "$version" || failures=$((failures + 1))

[ $failures -eq 0 ] || { echo "deb_test: $failures problems with $deb" >&2; exit 1; }
echo "deb_test: $deb is sound"
