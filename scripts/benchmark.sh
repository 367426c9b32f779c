#!/usr/bin/env bash
# Start-up, memory and size of setup.exe against a reference window program built the same
# way, on Wine: runs them in turn, RUNS times each (default 15), and prints medians, ranges,
# ratios and the targets. Not a test: figures depend on the machine.
#   scripts/benchmark.sh [RUNS]
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
runs=${1:-15}
source scripts/windows-env.sh

scripts/ensure-packages.sh "${TOLVEX_WINDOWS_PACKAGES[@]}"
if tolvex_wine32_runs; then
  preset=windows
  export TOLVEX_WINE=/usr/lib/wine/wine
else
  preset=windows-x64
  export TOLVEX_WINE=/usr/lib/wine/wine64
  echo "32-bit Wine cannot run on this machine: measuring the 64-bit build of the same sources."
fi
cmake --preset $preset >/dev/null
cmake --build --preset $preset -j "$(nproc)" >/dev/null
build=$root/build/$preset
[ $preset = windows ] && disc=$root/build/disc || disc=$build/disc

session=$root/build/bench-session
trap 'scripts/wine-session.sh stop "$session"' EXIT
scripts/wine-session.sh start "$session" >/dev/null
# Both programs as they ship: stripped of symbols, side by side in one folder.
mkdir -p "$session/drive-e/bench"
cp "$disc/setup.exe" "$session/drive-e/bench/setup.exe"
"${TOLVEX_STRIP:-$( [ $preset = windows ] && echo i686 || echo x86_64 )-w64-mingw32-strip}" --strip-all \
  -o "$session/drive-e/bench/reference_window.exe" "$build/reference_window.exe"

echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'), $("$TOLVEX_WINE" --version)"
scripts/wine-session.sh run "$session" "$build/startup_probe.exe" "$runs" 'E:\bench' \
  'E:\bench\reference_window.exe' 'E:\bench\setup.exe'
