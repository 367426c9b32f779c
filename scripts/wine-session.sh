#!/usr/bin/env bash
# A private Wine prefix on a private virtual X display, for one test run.
#   wine-session.sh start DIR            create it (DIR is wiped first)
#   wine-session.sh run DIR PROGRAM ...  run a Windows program in it
#   wine-session.sh stop DIR             end its processes and remove it
# TOLVEX_WINE names the Wine loader (wine for 32-bit programs, wine64 for 64-bit ones);
# TOLVEX_DPI, at start, the display density the session's programs see (96 unless given).
# Drives E: and F: are empty folders of the session's own, for the tests' disc folders.
set -euo pipefail

command=$1
dir=$2
shift 2

source "$(dirname "$0")/windows-env.sh"
wine=${TOLVEX_WINE:-/usr/lib/wine/wine64}
tolvex_wine_environment "$wine" "$dir/prefix"
wineserver=$(dirname "$wine")/wineserver
[ -x "$wineserver" ] || wineserver=wineserver

case $command in
start)
  rm -rf "$dir"
  mkdir -p "$dir/drive-e" "$dir/drive-f" "$WINEPREFIX"
  tolvex_start_xvfb "$dir/display" "$dir/xvfb.log"
  {
    "$wineserver" -p
    tolvex_init_prefix "${TOLVEX_DPI:-}"
  } </dev/null >"$dir/wine.log" 2>&1
  ln -sfn "$dir/drive-e" "$WINEPREFIX/dosdevices/e:"
  ln -sfn "$dir/drive-f" "$WINEPREFIX/dosdevices/f:"
  echo "Wine session ready in $dir on display $DISPLAY"
  ;;
run)
  export DISPLAY=":$(cat "$dir/display")"
  exec "$wine" "$@"
  ;;
stop)
  if [ -d "$WINEPREFIX" ]; then "$wineserver" -k </dev/null >/dev/null 2>&1 || true; fi
  if [ -f "$dir/display.pid" ]; then kill "$(cat "$dir/display.pid")" 2>/dev/null || true; fi
  rm -rf "$dir"
  ;;
*)
  echo "usage: $0 start|run|stop DIR [PROGRAM ARGS...]" >&2
  exit 2
  ;;
esac
