#!/usr/bin/env bash
# Checks that a Windows program is linked statically: every DLL it imports is part of Windows.
# Usage: imports_check.sh <objdump> <program.exe>
set -u
objdump=$1
exe=$2
allowed='^(kernel32|user32|gdi32|msvcrt|advapi32|ntdll)\.dll$'
dlls=$("$objdump" -p "$exe" | sed -n 's/^[[:space:]]*DLL Name: //p')
[ -n "$dlls" ] || { echo "imports_check: no imports found in $exe" >&2; exit 1; }
status=0
for dll in $dlls; do
  if ! echo "$dll" | tr 'A-Z' 'a-z' | grep -Eq "$allowed"; then
    echo "imports_check: $exe needs $dll, which Windows does not provide" >&2
    status=1
  fi
done
echo "imports:" $dlls
subsystem=$("$objdump" -p "$exe" | sed -n 's/^Subsystem[[:space:]]*[0-9a-f]*[[:space:]]*//p')
echo "subsystem: $subsystem"
case "$subsystem" in
  *"Windows GUI"*) ;;
  *) echo "imports_check: $exe is not a GUI program ($subsystem)" >&2; status=1 ;;
esac
exit $status
