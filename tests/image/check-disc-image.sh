#!/usr/bin/env bash
# Lists a disc image and checks it: volume label PENWICK, Joliet names, the menu, its
# autorun.inf and both installers at the root, and the setup.exe inside byte for byte the one
# in the disc folder it was made from.
#   check-disc-image.sh IMAGE DISC_FOLDER
set -uo pipefail
image=$1
disc=$2

source "$(dirname "$0")/checks.sh"

pvd=$(xorriso -indev "$image" -pvd_info 2>/dev/null)
root=$(xorriso -joliet on -indev "$image" -ls / 2>/dev/null | tr -d "'" | sort)
echo "root: $(echo $root)"
check "volume label PENWICK" 'grep -Eq "^Volume Id\s*:\s*PENWICK\s*$" <<<"$pvd"'
# Joliet is a supplementary volume descriptor (type 2, "CD001") whose escape sequence names UCS-2.
joliet_descriptor() {
  local sector
  for sector in 17 18 19 20; do
    local head
    head=$(dd if="$image" bs=2048 skip=$sector count=1 2>/dev/null | head -c 91 | od -An -c | tr -d ' \n')
    [[ $head == 002CD001* && ( $head == *%/@ || $head == *%/C || $head == *%/E ) ]] && return 0
  done
  return 1
}
check "a Joliet volume descriptor" 'joliet_descriptor'
expected=$(printf '%s\n' Setup_QZ-7400.exe SimvaraSetup.exe autorun.inf setup.exe | sort)
check "root holds exactly the menu, autorun.inf and the installers" '[ "$root" = "$expected" ]'

extracted=$(mktemp -d)
trap 'rm -rf "$extracted"' EXIT
for name in setup.exe autorun.inf Setup_QZ-7400.exe SimvaraSetup.exe; do
  xorriso -joliet on -osirrox on -indev "$image" -extract "/$name" "$extracted/$name" >/dev/null 2>&1
  check "$name on the image is the disc folder's, byte for byte" 'cmp -s "$extracted/$name" "$disc/$name"'
done
check "autorun.inf opens setup.exe and takes its icon" \
  'grep -q "^open=setup.exe" "$extracted/autorun.inf" && grep -q "^icon=setup.exe" "$extracted/autorun.inf"'

finish
