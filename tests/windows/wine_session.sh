#!/usr/bin/env bash
# Starts and stops the Wine session that every Windows test of one ctest run
# shares: one wineserver for the whole run, and Wine's own processes
# (wineboot, services and the rest) started here with their output going
# nowhere.
#
# Debian's wineserver leaves as soon as its last client has. Without this,
# each test opens a session of its own, and a test that starts while the
# previous session shuts down can be left waiting for a server that is gone
# (seen under qemu-i386, where that window is seconds wide). And Wine's own
# processes, when a test's process starts them, hold its output open after it
# has ended, which ctest waits for.
#
#   wine_session.sh WINE start|stop    (WINEPREFIX and the rest from ctest)
#     start  starts the session, creating the prefix on its first run, and
#            imports wine_settings.reg (no crash debugger); at most about
#            21 minutes, then it fails
#     stop   ends it (fails when the server is already gone)
set -euo pipefail

if [ $# -ne 2 ]; then
  echo "usage: wine_session.sh WINE start|stop" >&2
  exit 2
fi
wine="$1"
server="$(dirname "$wine")/wineserver"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"

case "$2" in
  start)
    # The server first (-p: it stays until stopped), so that every Wine
    # process of the run is its client and ends with it. It needs the prefix
    # folder; Wine fills an empty one on its first start.
    # The first start also starts Wine's own processes, which keep what they
    # were given as output: a file, shown when the start fails. A path under
    # Z: is the Unix path as Wine sees it. Under qemu-i386 one of Wine's own
    # processes sometimes crashes at start ("uncaught target signal 11"), and
    # every Wine program after it then waits forever, the prefix's creation
    # among them. So every step has a time limit, and a session that does not
    # come up is ended (with every process of the prefix) and started again
    # on a new prefix, up to three times in all.
    log="$WINEPREFIX/session-start.log"
    start_session() {
      mkdir -p "$WINEPREFIX"
      "$server" -p > /dev/null 2>&1
      timeout 300 "$wine" regedit /S "Z:$here/wine_settings.reg" > "$log" 2>&1 &&
        timeout 120 "$wine" cmd /c exit 0 >> "$log" 2>&1
    }
    attempt=1
    until start_session; do
      if [ "$attempt" -ge 3 ]; then
        cat "$log" >&2
        "$server" -k > /dev/null 2>&1 || true
        exit 1
      fi
      echo "wine_session: the Wine session did not come up (attempt $attempt); starting it again on a new prefix" >&2
      cp "$log" "$WINEPREFIX.failed-start-$attempt.log" 2> /dev/null || true
      "$server" -k > /dev/null 2>&1 || true
      rm -rf "$WINEPREFIX"
      attempt=$((attempt + 1))
    done
    ;;
  stop)
    "$server" -k
    ;;
  *)
    echo "usage: wine_session.sh WINE start|stop" >&2
    exit 2
    ;;
esac
