#!/usr/bin/env bash
# The Windows installer under 32-bit Wine, in a prefix of its own made afresh: a silent install
# (/S) puts spirals.exe (our layer) and spirals-gdi.exe (the system's GDI) in the program
# folder, spirals.scr in the system folder, a Start menu entry for each program and the
# uninstaller's entry among the installed programs; both installed programs run and end with
# ESC (exit code 0); the uninstaller named in that entry, run silently, takes all of it away.
# Usage: windows_installer_test.sh spirals-setup.exe spirals.exe spirals-gdi.exe spirals.scr VERSION
set -u
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
setup=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
program=$2
program_gdi=$3
saver=$4
version=$5

# One display for the whole test: the Wine session lives on it from the install to the end.
if [ -z "${SPIRALS_WINE_TEST_DISPLAY:-}" ]; then
  export SPIRALS_WINE_TEST_DISPLAY=1
  unset DISPLAY
  exec "$root/scripts/with-xvfb" "$0" "$@"
fi
[ -f "$setup" ] || { echo "installer_test: no $setup (makensis from scripts/setup builds it)" >&2; exit 1; }

build=$(dirname "$setup")
export WINEPREFIX="$build/wineprefix-setup"
# Start menu entries stay inside the prefix: Wine's menu builder would copy them to $HOME.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
# shellcheck source=../../scripts/wine-env
. "$root/scripts/wine-env"
spirals_wine_env "$setup" || exit $?
[ "$WINEARCH" = win32 ] || { echo "installer_test: $setup is not a 32-bit program" >&2; exit 1; }
"$wineserver" -k 2>/dev/null
rm -rf "$WINEPREFIX"
mkdir -p "$WINEPREFIX"

failures=0
fail() {
  echo "installer_test: $*" >&2
  failures=$((failures + 1))
}
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Spirals'
# One value of the uninstall entry, as reg.exe prints it ("" when it is not there).
value() {
  "$wine" reg query "$key" /v "$1" 2>/dev/null | tr -d '\r' |
    awk -v name="$1" '$1 == name { sub(/^[ \t]*[^ \t]+[ \t]+[^ \t]+[ \t]+/, ""); print; exit }'
}
# The target of a shell link (.lnk): its LinkInfo's local base path and common path suffix.
link_target() {
  local file=$1 flags at info base suffix
  u16() { od -An -tu2 -j "$2" -N2 "$1" | tr -d ' '; }
  u32() { od -An -tu4 -j "$2" -N4 "$1" | tr -d ' '; }
  text() { dd if="$1" bs=1 skip="$2" count=260 2>/dev/null | tr '\0' '\n' | head -n 1; }
  [ -f "$file" ] && [ "$(u32 "$file" 0)" = 76 ] || return 0
  flags=$(u32 "$file" 20)
  at=76
  [ $((flags & 1)) -eq 0 ] || at=$((at + 2 + $(u16 "$file" $at)))
  [ $((flags & 2)) -ne 0 ] || return 0
  info=$at
  base=$(text "$file" $((info + $(u32 "$file" $((info + 16))))))
  suffix=$(text "$file" $((info + $(u32 "$file" $((info + 24))))))
  echo "$base$suffix"
}
drive="$WINEPREFIX/drive_c"
folder="$drive/Program Files/Spirals"
system_saver="$drive/windows/system32/spirals.scr"
menu="$drive/ProgramData/Microsoft/Windows/Start Menu/Programs/Spirals.lnk"
menu_gdi="$drive/ProgramData/Microsoft/Windows/Start Menu/Programs/Spirals (system GDI).lnk"

echo "installing silently into a fresh prefix"
"$root/scripts/wine-run" "$setup" /S
status=$?
"$wineserver" -w
[ $status -eq 0 ] || fail "the installer's exit code is $status"
cmp -s "$folder/spirals.exe" "$program" || fail "no spirals.exe as built in $folder"
cmp -s "$folder/spirals-gdi.exe" "$program_gdi" || fail "no spirals-gdi.exe as built in $folder"
[ -f "$folder/uninstall.exe" ] || fail "no uninstall.exe in $folder"
cmp -s "$system_saver" "$saver" || fail "no spirals.scr as built in the system folder"
[ -f "$menu" ] || fail "no Start menu entry $menu"
target=$(link_target "$menu")
[ "$target" = 'C:\Program Files\Spirals\spirals.exe' ] ||
  fail "the Start menu entry starts \"$target\", not the installed spirals.exe"
target=$(link_target "$menu_gdi")
[ "$target" = 'C:\Program Files\Spirals\spirals-gdi.exe' ] ||
  fail "the Start menu entry \"Spirals (system GDI)\" starts \"$target\", not spirals-gdi.exe"
ls "$HOME/.local/share/applications/wine" 2>/dev/null | grep -qi spirals &&
  fail "Wine's menu builder put a desktop entry into $HOME"

[ "$(value DisplayName)" = Spirals ] || fail "DisplayName is \"$(value DisplayName)\""
[ "$(value DisplayVersion)" = "$version" ] || fail "DisplayVersion is \"$(value DisplayVersion)\""
[ "$(value InstallLocation)" = 'C:\Program Files\Spirals' ] ||
  fail "InstallLocation is \"$(value InstallLocation)\""
uninstall=$(value UninstallString)
[ "$uninstall" = '"C:\Program Files\Spirals\uninstall.exe"' ] || fail "UninstallString is $uninstall"
[ "$(value QuietUninstallString)" = "$uninstall /S" ] ||
  fail "QuietUninstallString is \"$(value QuietUninstallString)\""
[ "$(value DisplayIcon)" = 'C:\Program Files\Spirals\spirals.exe,0' ] ||
  fail "DisplayIcon is \"$(value DisplayIcon)\""
size=$(value EstimatedSize)
installed=$(($(stat -c %s "$program") + $(stat -c %s "$program_gdi") + $(stat -c %s "$saver")))
[ -n "$size" ] && [ $((size)) -ge $((installed / 1024)) ] ||
  fail "EstimatedSize is \"$size\", less than the three programs"

# The installed programs: the window, icon and animation, and exit code 0 after ESC.
shots=$(mktemp -d)
for installed_program in spirals.exe spirals-gdi.exe; do
  SPIRALS_WINE_SHOTS="$shots" "$root/tests/wine/spirals_window_test.sh" \
    "$folder/$installed_program" escape ||
    fail "the installed $installed_program did not run and end with ESC (screens in $shots)"
done
[ $failures -eq 0 ] && rm -rf "$shots"

echo "uninstalling silently with $uninstall /S"
# The uninstaller copies itself away and ends at once; the copy does the work.
WINEARCH=win32 "$root/scripts/wine-run" "${uninstall//\"/}" /S
status=$?
"$wineserver" -w
[ $status -eq 0 ] || fail "the uninstaller's exit code is $status"
for gone in "$folder/spirals.exe" "$folder/spirals-gdi.exe" "$folder/uninstall.exe" \
  "$system_saver" "$menu" "$menu_gdi"; do
  [ ! -e "$gone" ] || fail "$gone is left after uninstalling"
done
[ ! -e "$folder" ] || fail "the program folder is left: $(ls -A "$folder" | tr '\n' ' ')"
"$wine" reg query "$key" >/dev/null 2>&1 && fail "the uninstall entry is left in the registry"
"$wineserver" -w

[ $failures -eq 0 ] || { echo "installer_test: $failures problems" >&2; exit 1; }
rm -rf "$WINEPREFIX"
echo "installer_test: installed, ran and uninstalled cleanly"
