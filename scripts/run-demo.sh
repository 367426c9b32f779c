#!/usr/bin/env bash
# Builds everything and opens the menu from the demo disc under Wine, with the disc mapped as
# drive D: so that the menu starts at its root. On $DISPLAY when there is one; otherwise on a
# virtual display, saving a screenshot of the window as build/menu.png.
# TOLVEX_DPI=144 scripts/run-demo.sh shows it at another display density (build/menu-144dpi.png).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
source scripts/windows-env.sh

scripts/ensure-packages.sh "${TOLVEX_WINDOWS_PACKAGES[@]}" imagemagick
for preset in windows windows-x64; do
  cmake --preset $preset >/dev/null
  cmake --build --preset $preset -j "$(nproc)" >/dev/null
done

if tolvex_wine32_runs; then
  wine=/usr/lib/wine/wine
  disc=$root/build/disc
else
  wine=/usr/lib/wine/wine64
  disc=$root/build/windows-x64/disc
  echo "32-bit Wine cannot run on this machine: opening the 64-bit build of the same menu."
fi
dpi=${TOLVEX_DPI:-96}
shot=$root/build/menu.png
[ "$dpi" = 96 ] || shot=$root/build/menu-${dpi}dpi.png
tolvex_wine_environment "$wine" "$root/build/wine-demo-${dpi}dpi"

private_display=""
if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
  tolvex_start_xvfb "$root/build/demo-display" /dev/null
  private_display=$(cat "$root/build/demo-display.pid")
  trap 'WINEPREFIX=$WINEPREFIX "$(dirname "$wine")/wineserver" -k 2>/dev/null || true; kill $private_display 2>/dev/null || true' EXIT
fi

if [ ! -d "$WINEPREFIX/dosdevices" ]; then
  tolvex_init_prefix "$dpi" >/dev/null 2>&1
fi
ln -sfn "$disc" "$WINEPREFIX/dosdevices/d:"

caption="Penwick Inc. QZ-7400/Simvara V1.0 Installer"
if [ -z "$private_display" ]; then
  echo "Opening the menu from the demo disc, drive D: ($disc)"
  cd "$disc" && exec "$wine" start /wait /d 'D:\' 'D:\setup.exe'
fi

"$wine" start /d 'D:\' 'D:\setup.exe' >/dev/null 2>&1
window=""
for _ in $(seq 150); do
  window=$(xwininfo -root -tree 2>/dev/null | grep -F "\"$caption\"" | awk '{print $1}' | head -1 || true)
  [ -n "$window" ] && break
  sleep 0.2
done
[ -n "$window" ] || { echo "The menu did not open." >&2; exit 1; }
sleep 1  # let it paint
import -window "$window" "$shot"
echo "The menu opened on a virtual display (no \$DISPLAY here). Screenshot: ${shot#$root/}"
