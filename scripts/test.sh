#!/usr/bin/env bash
# Runs every test: installs what the build lacks, then
#  - checks that every C++ source is formatted by .clang-format;
#  - builds the launcher core natively, with AddressSanitizer and UBSan, and runs its tests;
#  - cross-builds setup.exe for 32-bit Windows (build/disc/ is the demo disc) and checks the file;
#  - runs the end-to-end tests on Wine, against the 32-bit build where 32-bit Wine runs here and
#    against the 64-bit build of the same sources in any case.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/windows-env.sh

scripts/ensure-packages.sh "${TOLVEX_WINDOWS_PACKAGES[@]}"
jobs=$(nproc)

scripts/check-format.sh

cmake --preset native
cmake --build --preset native -j "$jobs"
ctest --preset native

if tolvex_wine32_runs; then
  e2e32=ON
else
  e2e32=OFF
  echo "32-bit Wine cannot run on this machine: the end-to-end tests drive the 64-bit build only."
fi
cmake --preset windows -DTOLVEX_E2E=$e2e32
cmake --build --preset windows -j "$jobs"
ctest --preset windows

cmake --preset windows-x64
cmake --build --preset windows-x64 -j "$jobs"
ctest --preset windows-x64
