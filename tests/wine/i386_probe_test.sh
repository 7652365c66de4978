#!/usr/bin/env bash
# The i386 probe of scripts/wine-env, held against the kernel's own answer, and a machine that
# refuses i386 programs played on this one: with the probe pointed at a loader the kernel
# refuses, every test of the 32-bit build that runs 32-bit code is reported by CTest as skipped
# with the reason, the others still pass, and `make test-wine32` fails with the same line.
# Usage: i386_probe_test.sh <the 32-bit build folder> <source folder>
set -u
build=$(cd "$1" && pwd)
root=$(cd "$2" && pwd)
work="$build/i386-probe"
rm -rf "$work"
mkdir -p "$work"
failures=0
fail() {
  echo "i386_probe_test: $*" >&2
  failures=$((failures + 1))
}

# A whole i386 Linux program in 96 bytes: one ELF header, one loadable segment, and
# `mov ebx, 42; mov eax, 1; int 0x80` (exit with 42). It needs no loader and no library, so
# only the kernel decides whether it runs. $1 is its e_machine (3 is i386).
tiny_elf() {
  printf '\177ELF\001\001\001\000\000\000\000\000\000\000\000\000'
  printf '\002\000%b\000\001\000\000\000\124\200\004\010\064\000\000\000' "$1"
  printf '\000\000\000\000\000\000\000\000\064\000\040\000\001\000\000\000\000\000\000\000'
  printf '\001\000\000\000\000\000\000\000\000\200\004\010\000\200\004\010'
  printf '\140\000\000\000\140\000\000\000\005\000\000\000\000\020\000\000'
  printf '\273\052\000\000\000\270\001\000\000\000\315\200'
}
tiny_elf '\003' >"$work/exit42"
# The same bytes for a machine no kernel knows: refused everywhere with ENOEXEC, as an i386
# program is where 32-bit emulation is off.
tiny_elf '\357' >"$work/refused-loader"
chmod +x "$work/exit42" "$work/refused-loader"
[ "$(stat -c %s "$work/exit42")" -eq 96 ] || fail "the tiny program is not 96 bytes"

# The kernel's answer, read without the probe.
"$work/exit42" >"$work/exit42.out" 2>&1
status=$?
if [ $status -eq 42 ]; then
  kernel=runs
elif grep -q 'Exec format error' "$work/exit42.out"; then
  kernel=refuses
else
  fail "the tiny i386 program neither ran nor was refused (exit $status): $(cat "$work/exit42.out")"
  kernel=unknown
fi
echo "the kernel $kernel i386 programs"

# shellcheck source=../../scripts/wine-env
. "$root/scripts/wine-env"
spirals_i386_probe
probe=$?
case "$kernel:$probe" in
  runs:0 | refuses:1) echo "the probe agrees (answer $probe)" ;;
  *) fail "the probe answers $probe (0 runs, 1 refused, 2 broken) where the kernel $kernel i386 programs" ;;
esac
SPIRALS_WINE32_LOADER="$work/refused-loader" bash -c '. "$1/scripts/wine-env"; spirals_i386_probe' \
  probe "$root"
forced=$?
[ $forced -eq 1 ] || fail "with a refused loader the probe answers $forced, want 1"

# This build's tests, less this one, on the played machine. CTest runs them from a folder of
# their own so that this run's logs stay apart from the outer run's.
printf 'subdirs("%s")\n' "$build" >"$work/CTestTestfile.cmake"
(cd "$work" && ctest --show-only=json-v1 >"$work/tests.json")
(cd "$work" && SPIRALS_WINE32_LOADER="$work/refused-loader" \
  ctest -E '^i386_probe$' --output-junit "$work/junit.xml" --timeout 120 >"$work/ctest.log" 2>&1)
/usr/bin/python3 - "$work/tests.json" "$work/junit.xml" "$spirals_i386_skip_line" <<'EOF' || failures=$((failures + 1))
import json, sys, xml.etree.ElementTree as ET
tests = {t["name"]: t for t in json.load(open(sys.argv[1]))["tests"]}
line = sys.argv[3]
def labels(t):
    for p in t.get("properties", []):
        if p["name"] == "LABELS":
            return p["value"]
    return []
bad, skipped, passed = [], 0, 0
for case in ET.parse(sys.argv[2]).getroot().iter("testcase"):
    name, out = case.get("name"), case.findtext("system-out") or ""
    if name not in tests:
        continue
    if "i386" in labels(tests[name]):
        if case.find("skipped") is None or line not in out.splitlines():
            bad.append(f"{name} runs 32-bit code but was not skipped with the reason "
                       f"(status {case.get('status')})")
        else:
            skipped += 1
    elif case.get("status") != "run" or case.find("failure") is not None:
        bad.append(f"{name} runs no 32-bit code but did not pass (status {case.get('status')})")
    else:
        passed += 1
if skipped == 0:
    bad.append("no test carries the label i386")
for b in bad:
    print("i386_probe_test:", b, file=sys.stderr)
print(f"played refusal: {skipped} tests skipped with the reason, {passed} passed")
sys.exit(1 if bad else 0)
EOF

# Asked for by name there, the 32-bit run fails with the same line.
SPIRALS_WINE32_LOADER="$work/refused-loader" env -u MAKEFLAGS -u MFLAGS -u MAKELEVEL \
  make --no-print-directory -C "$root" test-wine32 >"$work/make.log" 2>&1
status=$?
[ $status -ne 0 ] || fail "make test-wine32 passed on the played machine"
grep -qxF "$spirals_i386_skip_line" "$work/make.log" ||
  fail "make test-wine32 did not say why: $(head -c 300 "$work/make.log")"

[ $failures -eq 0 ] || { cat "$work/ctest.log"; exit 1; }
exit 0
