#!/usr/bin/env bash
# Runs one Qt Test executable for CTest (added by vortane_add_test).
# Usage: run-qtest.sh <test name> <seconds> <skip folder> <command...>
#
# A Qt Test executable that skips every case still exits 0, which CTest would count as passed. Here
# the run's own log is read back: when no case passed (initTestCase and cleanupTestCase aside) and at
# least one skipped, the exit code is 77, which the test's SKIP_RETURN_CODE turns into "Skipped".
# The skipped cases of every test, partly skipped or not, are written to <skip folder>/<test name>
# for scripts/test.sh to list after the summary.
#
# The test runs in a process group of its own under `timeout`, a little shorter than CTest's
# timeout: CTest kills only the process it started, and a hung test or a program it started would
# otherwise keep running and hold the output pipe CTest waits on.
set -u
name=$1 seconds=$2 skip_dir=$3
shift 3

log=$(mktemp "${TMPDIR:-/tmp}/qtest-$name.XXXXXX")
trap 'rm -f "$log"' EXIT
mkdir -p "$skip_dir"
rm -f "$skip_dir/$name"

timeout --kill-after=5 "$seconds" "$@" -o "$log,txt" -o -,txt
rc=$?
if [ "$rc" -eq 124 ]; then
    echo "run-qtest: $name did not finish within ${seconds}s and was stopped"
    exit 1
fi

# Cases that skipped, as "Class::function(row) reason".
grep '^SKIP   : ' "$log" | sed 's/^SKIP   : //' >"$skip_dir/$name" || true
[ -s "$skip_dir/$name" ] || rm -f "$skip_dir/$name"

if [ "$rc" -ne 0 ]; then
    exit "$rc"
fi
if ! grep -q '^Totals: ' "$log"; then
    echo "run-qtest: $name exited 0 without reaching the end of its cases"
    exit 1
fi
if [ -f "$skip_dir/$name" ] &&
    ! grep '^PASS   : ' "$log" | grep -q -v -E '::(initTestCase|cleanupTestCase)\(\)$'; then
    echo "run-qtest: every case of $name skipped"
    exit 77
fi
exit 0
