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

# Wine as the menu's runs want it, for the loader WINE and the prefix PREFIX: quiet, without
# the Mono and Gecko prompts, and with Windows-1252 as the ANSI code page, which Wine takes from
# the locale (C.UTF-8).
tolvex_wine_environment() {
  export WINELOADER=$1 WINEPREFIX=$2 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  export LANG=C.UTF-8 LC_ALL=C.UTF-8
}

# Starts Xvfb on a free display and exports DISPLAY. The display number goes to FILE, the
# process id to FILE.pid, its output to LOG: it must not hold the caller's pipes (CTest's).
tolvex_start_xvfb() {
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$1" </dev/null >"$2" 2>&1 &
  echo $! >"$1.pid"
  for _ in $(seq 100); do [ -s "$1" ] && break; sleep 0.1; done
  [ -s "$1" ] || { echo "Xvfb did not start" >&2; cat "$2" >&2; return 1; }
  export DISPLAY=":$(cat "$1")"
}

# Creates the prefix WINEPREFIX with the loader WINELOADER, and sets it up: Wine draws the
# title bar itself, as Windows does, since the display has no window manager; and, given a DPI,
# the display density its programs see.
tolvex_init_prefix() {
  "$WINELOADER" wineboot -i
  "$WINELOADER" reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /t REG_SZ /d N /f
  if [ -n "${1:-}" ]; then
    "$WINELOADER" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f
    "$WINELOADER" reg add 'HKCC\Software\Fonts' /v LogPixels /t REG_DWORD /d "$1" /f
  fi
}
