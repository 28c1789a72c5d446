#!/bin/bash
# `make test`: the three builds and every suite, overlapped so that both cores
# stay busy. A compile keeps them busy; most suites do not (Wine, browsers and
# studios waiting), so each suite runs beside the next build:
#   native build (format check beside it)
#   Windows build      | native tests
#   sanitizer build    | Windows tests (they need the native qzffont)
#   sanitizer tests    | packages (after the Windows tests: both use the
#                        project's Wine prefix, whose server the Windows
#                        tests stop at their end)
# Each step's output is kept in build/test-logs/<step>.log and printed whole
# when the step ends, in this order, with its wall and CPU seconds. A step whose build failed is not run and
# counts as failed; the status is 1 if any step failed.
# Usage: test-all.sh (from make test, which passes MAKE and JOBS)
set -u
cd "$(dirname "$0")/.."
make=${MAKE:-make}
logs=build/test-logs
rm -rf "$logs"
mkdir -p "$logs"

declare -A pid started
failed=()
steps=()

# start NAME MAKE-TARGET: the target runs in the background, its output kept.
start() {
  local name=$1 target=$2
  echo "-- $name started ($(date +%T))"
  steps+=("$name")
  started[$name]=$SECONDS
  (
    TIMEFORMAT='%U %S'
    { time "$make" --no-print-directory "$target" >"$logs/$name.log" 2>&1; } 2>"$logs/$name.cpu"
    status=$?
    echo $SECONDS >"$logs/$name.end"
    exit $status
  ) &
  pid[$name]=$!
}

# finish NAME: waits for the step, prints its output; status 0 if it passed.
finish() {
  local name=$1 status cpu
  wait "${pid[$name]}"
  status=$?
  # CPU time of the step's own processes (not of a Wine server it started).
  cpu=$(awk '{ printf "%.0f", $1 + $2 }' "$logs/$name.cpu" 2>/dev/null)
  echo "== $name ($(($(cat "$logs/$name.end") - started[$name])) s, CPU ${cpu:-?} s) =="
  cat "$logs/$name.log"
  if [ $status -ne 0 ]; then
    echo "== $name FAILED (status $status) =="
    failed+=("$name")
  fi
  return $status
}

# skip NAME WHY: a step not run because a step it needs failed.
skip() {
  echo "== $1 not run: $2 failed =="
  failed+=("$1")
}

start format format-check
start build-native build-native
finish build-native && native=1 || native=0

start build-windows build-windows
if [ $native = 1 ]; then start native-tests test-native; else skip native-tests build-native; fi
finish build-windows && windows=1 || windows=0
finish format

start build-sanitize build-sanitize
if [ $windows = 1 ] && [ $native = 1 ]; then
  start windows-tests test-windows
else
  skip windows-tests "build-native or build-windows"
fi
[ $native = 1 ] && finish native-tests
finish build-sanitize && sanitize=1 || sanitize=0

if [ $sanitize = 1 ]; then start sanitize-tests test-sanitize; else skip sanitize-tests build-sanitize; fi
if [ $windows = 1 ] && [ $native = 1 ]; then
  finish windows-tests
  start packages dist-test
  finish packages
else
  skip packages "build-native or build-windows"
fi
[ $sanitize = 1 ] && finish sanitize-tests

echo "== summary: ${#steps[@]} steps run in ${SECONDS} s; failed: ${failed[*]:-none} =="
[ ${#failed[@]} -eq 0 ]
