#!/usr/bin/env bash
# The project names no package server, and the two scripts that keep it so do their work:
# check-package-servers finds each kind of planted address, and apt-source-entries turns a
# machine's binary sources (one-line and deb822) into source entries, leaving out what apt
# would not use.
# Usage: package_servers_test.sh <source folder>
set -u
root=$(cd "$1" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
  echo "package_servers_test: $*" >&2
  failures=$((failures + 1))
}

"$root/scripts/check-package-servers" || fail "the project names a package server"

# Each planted line alone must be found, with its file and line number. The addresses are put
# together here so that this file does not carry them.
scheme=http
debian_host=deb.debian
npm_host=registry.npmjs
plant=(
  "deb [arch=amd64] $scheme://mirror.example/debian bookworm main"
  "URIs: $scheme://mirror.example/debian"
  "registry=$scheme://npm.example/"
  "see $debian_host.org for the archive"
  "resolved: $npm_host.org/x"
)
for line in "${plant[@]}"; do
  mkdir -p "$work/tree"
  printf 'a harmless line\n%s\n' "$line" >"$work/tree/file.txt"
  out=$("$root/scripts/check-package-servers" "$work/tree" 2>&1) && fail "not found: $line"
  grep -q '^\./file\.txt:2:' <<<"$out" || fail "no file and line for: $line ($out)"
  rm -rf "$work/tree"
done

# A machine's sources: a one-line entry with options, a comment, a deb-src line; a deb822 file
# with a key over continuation lines, a disabled stanza, and a stanza of sources only.
mkdir -p "$work/apt/parts"
cat >"$work/apt/sources.list" <<'EOF'
# a comment
deb [signed-by=/usr/share/keyrings/k.gpg] file:/srv/archive bookworm main contrib
deb-src file:/srv/archive bookworm main
EOF
cat >"$work/apt/parts/mirror.sources" <<'EOF'
Types: deb
URIs: file:/srv/mirror
Suites: bookworm bookworm-updates
Components: main
Signed-By:
 -----BEGIN PGP PUBLIC KEY BLOCK-----
 .
 mQINBF
 -----END PGP PUBLIC KEY BLOCK-----

Types: deb
Enabled: no
URIs: file:/srv/off
Suites: bookworm
Components: main

Types: deb-src
URIs: file:/srv/only-sources
Suites: bookworm
Components: main
EOF
echo "deb file:/srv/not-a-source-file bookworm main" >"$work/apt/parts/ignored.list.disabled"
"$root/scripts/apt-source-entries" "$work/out.list" "$work/out.sources" \
  "$work/apt/sources.list" "$work/apt/parts" >/dev/null || fail "apt-source-entries failed"
want_list='deb-src [signed-by=/usr/share/keyrings/k.gpg] file:/srv/archive bookworm main contrib'
[ "$(cat "$work/out.list")" = "$want_list" ] || fail "one-line entries: $(cat "$work/out.list")"
want_sources='Types: deb-src
URIs: file:/srv/mirror
Suites: bookworm bookworm-updates
Components: main
Signed-By:
 -----BEGIN PGP PUBLIC KEY BLOCK-----
 .
 mQINBF
 -----END PGP PUBLIC KEY BLOCK-----'
[ "$(cat "$work/out.sources")" = "$want_sources" ] || fail "stanzas: $(cat "$work/out.sources")"

# Nothing to derive from: one line, and a failure.
rm "$work/apt/sources.list" "$work/apt/parts/mirror.sources"
out=$("$root/scripts/apt-source-entries" "$work/out.list" "$work/out.sources" \
  "$work/apt/sources.list" "$work/apt/parts" 2>&1) && fail "no sources, yet success"
[ "$(wc -l <<<"$out")" -eq 1 ] || fail "no sources: want one line, got: $out"

exit $((failures > 0))
