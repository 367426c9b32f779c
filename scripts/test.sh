#!/usr/bin/env bash
# Runs every test: installs what the build lacks, then builds and tests the launcher core
# natively and setup.exe for Windows on Wine.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/ensure-packages.sh cmake make g++ googletest libgtest-dev

cmake --preset native
cmake --build --preset native -j "$(nproc)"
ctest --preset native
