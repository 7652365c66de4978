#!/usr/bin/env bash
# Installs the Debian package with dpkg, checks its files against the package's checksums, runs
# the installed program from them (installed_program_tests), reads its manual page the way a
# user does, removes the package, and checks that nothing of it is left. The machine ends as
# it was: a spirals package installed before the test is packed up first and put back after.
# Needs root, or sudo without a password; skips (exit 77) without them.
# Usage: deb_install_test.sh PACKAGE.deb installed_program_tests
set -u
deb=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
program_tests=$2
skip() {
  echo "deb_install_test: skipped: $*"
  exit 77
}
[ -f "$deb" ] || { echo "deb_install_test: no package $deb" >&2; exit 1; }
as_root=()
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null && sudo -n true 2>/dev/null ||
    skip "installing a package needs root, or sudo without a password"
  as_root=(sudo -n)
fi
for tool in dpkg dpkg-query dpkg-repack man; do
  command -v "$tool" >/dev/null || { echo "deb_install_test: $tool is missing (run scripts/setup)" >&2; exit 2; }
done

# One such test at a time on this machine, whichever build folder it runs from.
exec 9>"${TMPDIR:-/tmp}/spirals-deb-install-test.lock"
flock -w 600 9 || { echo "deb_install_test: another run held the lock for ten minutes" >&2; exit 1; }

# dpkg does not wait for a lock another installation holds; we do, up to five minutes.
dpkg_as_root() {
  local out status
  for _ in $(seq 1 300); do
    out=$("${as_root[@]}" dpkg "$@" 2>&1)
    status=$?
    if [ $status -ne 0 ] && grep -qi 'lock' <<<"$out"; then
      sleep 1
      continue
    fi
    [ $status -eq 0 ] || echo "$out" >&2
    return $status
  done
  echo "deb_install_test: the dpkg database stayed locked for five minutes" >&2
  return 1
}
state() { dpkg-query -W -f='${db:Status-Abbrev}' spirals 2>/dev/null | tr -d ' '; }

work=$(mktemp -d)
chmod 755 "$work"
installed_by_us=0
previous=""
restore() {
  if [ $installed_by_us -eq 1 ]; then dpkg_as_root -r spirals >/dev/null; fi
  if [ -n "$previous" ]; then
    dpkg_as_root -i "$previous" >/dev/null ||
      echo "deb_install_test: could not put back the spirals package that was installed: $previous is kept" >&2
    [ "$(state)" = ii ] && rm -rf "$work"
  else
    rm -rf "$work"
  fi
}
trap restore EXIT
failures=0
fail() {
  echo "deb_install_test: $*" >&2
  failures=$((failures + 1))
}

# The package's paths, and the machine before: what of them exists, and whether an earlier
# spirals package owns it.
mapfile -t files < <(dpkg-deb --fsys-tarfile "$deb" | tar -tf - | sed 's|^\.||; s|/$||' | grep -v '^$')
before=$(state)
case "$before" in
  "") ;;
  ii)
    version=$(dpkg-query -W -f='${Version}' spirals)
    echo "spirals $version is installed: packing it up to put it back afterwards"
    (cd "$work" && "${as_root[@]}" dpkg-repack spirals >/dev/null 2>&1) ||
      skip "dpkg-repack cannot pack up the installed spirals $version"
    previous=$(ls "$work"/spirals_*.deb 2>/dev/null | head -n 1)
    [ -n "$previous" ] || skip "dpkg-repack made no package of spirals $version"
    ;;
  *) skip "the spirals package is in state \"$before\"; dpkg must settle it first" ;;
esac
existed=()
for path in "${files[@]}"; do
  if [ -e "$path" ] || [ -L "$path" ]; then
    if [ ! -d "$path" ] && [ -z "$previous" ]; then
      owner=$(dpkg -S "$path" 2>/dev/null | cut -d: -f1)
      skip "$path exists and is not ours (owned by ${owner:-no package}); remove it to run this test"
    fi
    # A folder stays after the removal when something besides spirals has it.
    if [ -d "$path" ]; then
      owners=$(dpkg-query -S "$path" 2>/dev/null | grep -v '^diversion' | sed 's/: .*//' | tr ',' '\n' | tr -d ' ')
      grep -qvx spirals <<<"${owners:-unowned}" && existed+=("$path")
    fi
  fi
done

echo "installing $deb"
dpkg_as_root -i "$deb" || { echo "deb_install_test: dpkg -i failed" >&2; exit 1; }
installed_by_us=1
[ "$(state)" = ii ] || fail "after dpkg -i the package is in state $(state)"
[ "$(dpkg-query -W -f='${Version}' spirals)" = "$(dpkg-deb -f "$deb" Version)" ] ||
  fail "dpkg has another version installed"
# Every file as the package's checksums say (dpkg --verify prints nothing when all match).
problems=$("${as_root[@]}" dpkg --verify spirals 2>&1)
[ -z "$problems" ] || fail "dpkg --verify: $problems"
for path in "${files[@]}"; do
  [ -e "$path" ] || [ -L "$path" ] || fail "$path is missing after installing"
done

# The installed program, run from those files alone.
SPIRALS_INSTALLED_PREFIX=/usr "$program_tests" || fail "the installed program failed its tests"

# The manual page, found by name.
page=$(man -w 6 spirals 2>&1)
[ "$page" = /usr/share/man/man6/spirals.6.gz ] || fail "man -w 6 spirals gives $page"
warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 6 spirals 2>&1 >/dev/null)
[ -z "$warnings" ] || fail "man spirals warns: $warnings"

echo "removing the package"
dpkg_as_root -r spirals || { echo "deb_install_test: dpkg -r failed" >&2; exit 1; }
installed_by_us=0
after=$(state)
[ -z "$after" ] || [ "$after" = un ] || fail "after dpkg -r the package is in state $after"
for path in "${files[@]}"; do
  kept=0
  for dir in "${existed[@]}"; do [ "$dir" = "$path" ] && kept=1; done
  if [ $kept -eq 1 ]; then
    [ -d "$path" ] || fail "$path existed before and is gone"
  elif [ -e "$path" ] || [ -L "$path" ]; then
    fail "$path is left after dpkg -r"
  fi
done

[ $failures -eq 0 ] || { echo "deb_install_test: $failures problems" >&2; exit 1; }
echo "deb_install_test: installed, ran and removed cleanly"
