# Shared by the scripts that build and run the Windows program; source it.

# Debian packages the Windows build and its tests need.
TOLVEX_WINDOWS_PACKAGES=(
  cmake make g++ googletest libgtest-dev clang-format git
  g++-mingw-w64-i686 binutils-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64
  wine wine64 wine32:i386 fonts-wine xvfb xauth x11-utils xorriso
)

# True where 32-bit Wine runs here. Some machines (sandboxes without 32-bit Linux binaries)
# cannot execute it at all; there the 64-bit build of the same sources is what Wine can drive.
tolvex_wine32_runs() {
  /usr/lib/wine/wine --version >/dev/null 2>&1
}
