#!/usr/bin/env bash
# Reads a built Windows executable back with objdump and checks what it must be: a GUI program
# for the expected machine that imports only DLLs every Windows has, and never shell32.dll,
# which it binds at run time.
#   check-image.sh OBJDUMP EXECUTABLE FORMAT     FORMAT: pei-i386 or pei-x86-64
set -uo pipefail
objdump=$1
exe=$2
format=$3

passed=0
failed=0
check() {
  if eval "$2"; then passed=$((passed + 1)); echo "  ok    $1"; else failed=$((failed + 1)); echo "  FAIL  $1"; fi
}

headers=$("$objdump" -p "$exe") || { echo "cannot read $exe"; exit 1; }
dlls=$(printf '%s\n' "$headers" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z' | sort -u)
echo "imports: $(echo $dlls)"

check "file format is $format" '[[ $headers == *"file format $format"* ]]'
check "GUI subsystem" 'grep -Eq "^Subsystem\s+00000002" <<<"$headers"'
check "imports something" '[ -n "$dlls" ]'
allowed="kernel32.dll user32.dll gdi32.dll msvcrt.dll advapi32.dll"
for dll in $dlls; do
  check "$dll ships with Windows" '[[ " $allowed " == *" $dll "* ]]'
done
check "shell32.dll is not imported" '! grep -qx shell32.dll <<<"$dlls"'
check "no C++ runtime DLL" '! grep -Eq "libstdc|libgcc|winpthread" <<<"$dlls"'

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
