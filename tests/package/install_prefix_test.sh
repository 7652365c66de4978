#!/usr/bin/env bash
# `cmake --install` into a prefix of a temporary folder: the tree holds what the package
# holds, the programs run from there, and the files the install manifest lists are all of it.
# Usage: install_prefix_test.sh BUILD_DIR SOURCE_DIR VERSION installed_program_tests
set -u
build_dir=$1
source_dir=$2
version=$3
program_tests=$4
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix="$work/a prefix with blanks"

# Stripped, as a packager installs: debugging information names the build folder.
if ! out=$(cmake --install "$build_dir" --prefix "$prefix" --strip 2>&1); then
  echo "$out" >&2
  echo "install_prefix_test: cmake --install failed" >&2
  exit 1
fi
# The manifest of this install, before anything else installs from the build folder.
manifest="$work/install_manifest.txt"
cp "$build_dir/install_manifest.txt" "$manifest" 2>/dev/null ||
  { echo "install_prefix_test: cmake --install wrote no install_manifest.txt" >&2; exit 1; }
"$here/check_tree.sh" "$prefix" "$source_dir" "$build_dir" "$version" || exit 1
# A second install over the first changes nothing.
cmake --install "$build_dir" --prefix "$prefix" --strip >/dev/null 2>&1 ||
  { echo "install_prefix_test: a second install failed" >&2; exit 1; }
"$here/check_tree.sh" "$prefix" "$source_dir" "$build_dir" "$version" >/dev/null || exit 1

SPIRALS_INSTALLED_PREFIX="$prefix" "$program_tests" || exit 1

# Removing what the manifest lists leaves only folders.
while IFS= read -r f || [ -n "$f" ]; do  # the manifest ends without a newline
  case "$f" in
    "$prefix"/*) rm -f "$f" ;;
    *) echo "install_prefix_test: the manifest names $f, outside the prefix" >&2; exit 1 ;;
  esac
done <"$manifest"
left=$(find "$prefix" ! -type d)
[ -z "$left" ] || { echo "install_prefix_test: the manifest misses: $left" >&2; exit 1; }
echo "install_prefix_test: installed, ran and removed under $prefix"
