#!/usr/bin/env bash
# Runs lintian over the Debian package; any error (an "E:" line) fails. Warnings and notes
# are shown.
# Usage: lintian_test.sh PACKAGE.deb
set -u
deb=$1
command -v lintian >/dev/null || { echo "lintian_test: lintian is missing (run scripts/setup)" >&2; exit 2; }
[ -f "$deb" ] || { echo "lintian_test: no package $deb" >&2; exit 1; }
# As root lintian says it would rather not be; that line is no finding.
output=$(lintian --display-info "$deb" 2>&1)
status=$?
report=$(grep -v '^running with root privileges' <<<"$output")
[ -z "$report" ] || echo "$report"
if grep -q '^E: ' <<<"$report"; then
  echo "lintian_test: lintian reports errors" >&2
  exit 1
fi
# lintian exits 2 when it could not run (not on findings below errors).
if [ "$status" -ne 0 ] && [ "$status" -ne 1 ]; then
  echo "lintian_test: lintian failed with status $status" >&2
  exit 1
fi
echo "lintian_test: no errors"
