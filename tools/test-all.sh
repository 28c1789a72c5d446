#!/bin/bash
# `make test`: the three builds and every suite, each started as soon as the
# steps it needs have passed, so that both cores stay busy. A compile keeps
# them busy; most suites do not (Wine, browsers and studios waiting), so the
# suites run beside the last build, and the packages beside the last suite:
#   native build (format check beside it)
#   Windows build alone: the Windows tests and the sanitizer build wait for it
#   sanitizer build    | native tests, Windows tests (they need the native
#                        qzffont too)
#   sanitizer tests    | packages (after the Windows tests: both use the
#                        project's Wine prefix, whose server the Windows
#                        tests stop at their end; after the sanitizer build,
#                        which they would slow down)
# Two builds at once would take longer together: each compile's CPU time
# grows by a tenth to a quarter when more run than there are cores.
# Each step's output is kept in build/test-logs/<step>.log and printed whole
# when the step ends, with its wall and CPU seconds. A step whose needs failed
# is not run and counts as failed; the status is 1 if any step failed.
# Usage: test-all.sh (from make test, which passes MAKE and JOBS)
set -u
cd "$(dirname "$0")/.."
make=${MAKE:-make}
logs=build/test-logs
rm -rf "$logs"
mkdir -p "$logs"

# step NAME MAKE-TARGET "NEEDS"
declare -A target needs state started name_of
order=()
step() {
  order+=("$1")
  target[$1]=$2
  needs[$1]=$3
  state[$1]=waiting
}
step format format-check ""
step build-native build-native ""
step build-windows build-windows "build-native"
step native-tests test-native "build-native build-windows"
step build-sanitize build-sanitize "build-windows"
step windows-tests test-windows "build-native build-windows"
step sanitize-tests test-sanitize "build-sanitize"
step packages dist-test "build-native build-windows windows-tests build-sanitize"

failed=()
run=0

# start NAME: the step's target runs in the background, its output kept.
start() {
  local name=$1
  echo "-- $name started ($(date +%T))"
  state[$name]=running
  started[$name]=$SECONDS
  run=$((run + 1))
  (
    TIMEFORMAT='%U %S'
    { time "$make" --no-print-directory "${target[$name]}" >"$logs/$name.log" 2>&1; } \
      2>"$logs/$name.cpu"
    status=$?
    echo $SECONDS >"$logs/$name.end"
    exit $status
  ) &
  name_of[$!]=$name
}

# launch: starts every waiting step whose needs passed; a step with a failed
# need is not run.
launch() {
  local name need ready
  for name in "${order[@]}"; do
    [ "${state[$name]}" = waiting ] || continue
    ready=1
    for need in ${needs[$name]}; do
      case ${state[$need]} in
        passed) ;;
        failed | skipped)
          echo "== $name not run: $need failed =="
          state[$name]=skipped
          failed+=("$name")
          ready=0
          break
          ;;
        *) ready=0 ;;
      esac
    done
    [ $ready = 1 ] && start "$name"
  done
}

# finished NAME STATUS: prints the step's output and records its result.
finished() {
  local name=$1 status=$2 cpu
  # CPU time of the step's own processes (not of a Wine server it started).
  cpu=$(awk '{ printf "%.0f", $1 + $2 }' "$logs/$name.cpu" 2>/dev/null)
  echo "== $name ($(($(cat "$logs/$name.end" 2>/dev/null || echo $SECONDS) - started[$name])) s, CPU ${cpu:-?} s) =="
  cat "$logs/$name.log"
  if [ "$status" -eq 0 ]; then
    state[$name]=passed
  else
    echo "== $name FAILED (status $status) =="
    state[$name]=failed
    failed+=("$name")
  fi
}

launch
while [ ${#name_of[@]} -gt 0 ]; do
  done_pid=
  wait -n -p done_pid "${!name_of[@]}"
  status=$?
  [ -n "$done_pid" ] || continue
  name=${name_of[$done_pid]}
  unset "name_of[$done_pid]"
  finished "$name" $status
  launch
done

echo "== summary: $run steps run in ${SECONDS} s; failed: ${failed[*]:-none} =="
[ ${#failed[@]} -eq 0 ]
