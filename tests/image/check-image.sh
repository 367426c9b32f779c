#!/usr/bin/env bash
# Reads a built Windows executable back with objdump and checks what it must be: a GUI program
# for the expected machine that imports only DLLs every Windows has (never shell32.dll, which
# it binds at run time), with ASLR and its relocations, DEP, no section both writable and
# executable, and stack protection.
#   check-image.sh OBJDUMP EXECUTABLE LINKED FORMAT
# EXECUTABLE is the shipped file; LINKED the same program before its symbols were stripped;
# FORMAT is pei-i386 or pei-x86-64.
set -uo pipefail
objdump=$1
exe=$2
linked=$3
format=$4

source "$(dirname "$0")/checks.sh"

headers=$("$objdump" -p "$exe") || { echo "cannot read $exe"; exit 1; }
sections=$("$objdump" -h "$exe")
symbols=$("$objdump" -t "$linked")
dlls=$(sed -n 's/^\s*DLL Name: //p' <<<"$headers" | tr 'A-Z' 'a-z' | sort -u)
echo "imports: $(echo $dlls)"

check "file format is $format" '[[ $headers == *"file format $format"* ]]'
check "GUI subsystem" 'grep -Eq "^Subsystem\s+00000002" <<<"$headers"'
check "imports something" '[ -n "$dlls" ]'
allowed="kernel32.dll user32.dll gdi32.dll msvcrt.dll advapi32.dll"
for dll in $dlls; do
  check "$dll ships with Windows" '[[ " $allowed " == *" $dll "* ]]'
done
check "shell32.dll is not imported" '! grep -qx shell32.dll <<<"$dlls"'
check "no C++ runtime DLL" '! grep -Eq "libstdc|libgcc|winpthread|libssp" <<<"$dlls"'

characteristics=$((16#$(sed -n 's/^DllCharacteristics\s*//p' <<<"$headers")))
check "ASLR: DYNAMIC_BASE" '(( characteristics & 0x40 ))'
check "DEP: NX_COMPAT" '(( characteristics & 0x100 ))'
if [ "$format" = pei-x86-64 ]; then
  check "64-bit ASLR: HIGH_ENTROPY_VA" '(( characteristics & 0x20 ))'
fi
check "relocations kept: a .reloc section" 'grep -Eq "^\s*[0-9]+ \.reloc\s+0*[1-9a-f]" <<<"$sections"'
# objdump lists each section's flags on the line after its name; code without READONLY is writable.
writable_code=$(awk '/^ *[0-9]+ /{name=$2; next} /CODE/ && !/READONLY/{print name}' <<<"$sections")
check "no section both writable and executable${writable_code:+: $writable_code}" '[ -z "$writable_code" ]'
check "stack protection: the canary check is linked in" 'grep -q "_stack_chk_fail" <<<"$symbols"'
check "the shipped file carries no symbols" '! "$objdump" -t "$exe" 2>/dev/null | grep -q "_stack_chk_fail"'

finish
