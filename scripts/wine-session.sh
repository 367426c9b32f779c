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

wine=${TOLVEX_WINE:-/usr/lib/wine/wine64}
export WINELOADER=$wine
export WINEPREFIX=$dir/prefix
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
# Wine takes its ANSI code page from the locale: C.UTF-8 gives Windows-1252.
export LANG=C.UTF-8 LC_ALL=C.UTF-8
wineserver=$(dirname "$wine")/wineserver
[ -x "$wineserver" ] || wineserver=wineserver

case $command in
start)
  rm -rf "$dir"
  mkdir -p "$dir/drive-e" "$dir/drive-f" "$WINEPREFIX"
  # The display number Xvfb picks is written to the file; its output must not hold CTest's pipes.
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$dir/display" </dev/null >"$dir/xvfb.log" 2>&1 &
  echo $! >"$dir/xvfb.pid"
  for _ in $(seq 100); do [ -s "$dir/display" ] && break; sleep 0.1; done
  [ -s "$dir/display" ] || { echo "Xvfb did not start" >&2; cat "$dir/xvfb.log" >&2; exit 1; }
  export DISPLAY=":$(cat "$dir/display")"
  {
    "$wineserver" -p
    "$wine" wineboot -i
    # Wine draws the title bar itself, as Windows does, since the display has no window manager.
    "$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /t REG_SZ /d N /f
    if [ -n "${TOLVEX_DPI:-}" ]; then
      "$wine" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$TOLVEX_DPI" /f
      "$wine" reg add 'HKCC\Software\Fonts' /v LogPixels /t REG_DWORD /d "$TOLVEX_DPI" /f
    fi
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
  if [ -f "$dir/xvfb.pid" ]; then kill "$(cat "$dir/xvfb.pid")" 2>/dev/null || true; fi
  rm -rf "$dir"
  ;;
*)
  echo "usage: $0 start|run|stop DIR [PROGRAM ARGS...]" >&2
  exit 2
  ;;
esac
