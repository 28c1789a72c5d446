#!/bin/sh
# Keeps the Wine server of the project's prefix running around a run of the
# Windows tests:
#   wine-server.sh start   makes the prefix if needed, starts a server that
#                          stays, and boots Wine's own services and desktop
#                          process under it
#   wine-server.sh stop    ends the server and every Wine process of the prefix
# A test that starts the server itself has it and its services inherit the
# test's output, and ctest then waits for the server to quit (seconds after
# the test ended). Started here, they hold no test's output.
here=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX="${QZF_WINEPREFIX:-$here/build/wineprefix}"
export WINEDEBUG=-all
export WINEARCH=win64

case "$1" in
  start)
    # A new prefix is made by wine-run.sh (once, under its lock), whose
    # server then ends by itself.
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
      "$here/tools/wine-run.sh" cmd /c exit </dev/null >/dev/null 2>&1
      wineserver -w </dev/null >/dev/null 2>&1
    fi
    # Status 2: a server runs already (one left by an earlier start, kept).
    wineserver -p </dev/null >/dev/null 2>&1
    status=$?
    if [ $status -ne 0 ] && [ $status -ne 2 ]; then
      echo "wine-server.sh: no Wine server for $WINEPREFIX (status $status)" >&2
      exit 1
    fi
    # Wine's desktop process too: a program that needs it while none runs
    # starts one with that program's output, and it stays with the server,
    # holding a test's output open until the server ends.
    "$here/tools/wine-run.sh" explorer.exe /desktop </dev/null >/dev/null 2>&1 &
    # Wine's own services come up with the first program and stay with the
    # server.
    if ! "$here/tools/wine-run.sh" cmd /c exit </dev/null >/dev/null 2>&1; then
      echo "wine-server.sh: Wine could not run a program in $WINEPREFIX" >&2
      exit 1
    fi
    echo "Wine server running for $WINEPREFIX"
    ;;
  stop)
    wineserver -k </dev/null >/dev/null 2>&1
    wineserver -w </dev/null >/dev/null 2>&1
    echo "Wine server stopped for $WINEPREFIX"
    ;;
  *)
    echo "usage: wine-server.sh start|stop" >&2
    exit 2
    ;;
esac
