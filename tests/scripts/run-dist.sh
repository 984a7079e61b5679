#!/usr/bin/env bash
# The bundle for host developers: scripts/dist writes it from the 64-bit
# and 32-bit builds; its listing must hold both modules of each width, the
# type library, the registration scripts, the guide and the samples; and
# its register.cmd and unregister.cmd, run by the prefix's cmd, must enter
# and take out both widths of the bundle's own modules, each in the registry
# view of its width. Runs inside scripts/with-wine from the repository root
# (for the 64-bit pass only: the bundle is the same for both).
#   scripts/with-wine bash tests/scripts/run-dist.sh
set -uo pipefail

top=$(pwd)
x64=${ORVANE_WIN_BUILD:-build/win}
x86=${ORVANE_WIN32_BUILD-build/win32}
source "$top/tests/scripts/lib/module-width.sh" "$x64/bin/ORVANE.OCX" || exit 1
if [ "$module_width" != 64 ]; then
  echo "run-dist: the bundle is checked in the 64-bit pass"
  exit 0
fi
if [ -z "$x86" ]; then
  echo "run-dist: no 32-bit build (ORVANE_WIN32_BUILD is empty); the bundle needs both" >&2
  exit 1
fi

passed=0
failed=0
pass() { echo "ok: $*"; passed=$((passed + 1)); }
fail() { echo "FAIL: $*"; failed=$((failed + 1)); }

out=$(ORVANE_WIN_BUILD=$x64 ORVANE_WIN32_BUILD=$x86 scripts/dist 2>&1)
status=$?
printf '%s\n' "$out" | sed 's/^/  /'
[ $status -eq 0 ] || { echo "run-dist: scripts/dist failed"; exit 1; }
zip=$(ls build/dist/orvane-*-windows.zip | head -1)
name=$(basename "$zip" .zip)
listing=$(unzip -Z1 "$zip")
for entry in x86/ORVANE.OCX x86/Harfix.dll x64/ORVANE.OCX x64/Harfix.dll ORVANE.TLB register.cmd \
  unregister.cmd host-guide.md samples/list-books.vbs samples/list-books.js samples/orvane.hta \
  samples/atl_host.cpp; do
  grep -qxF "$name/$entry" <<<"$listing" && pass "holds $entry" || fail "lacks $entry"
done

# Each module is of the width of its folder.
unpacked="$top/build/dist-check"
rm -rf "$unpacked"
mkdir -p "$unpacked"
unzip -q "$zip" -d "$unpacked"
bundle="$unpacked/$name"
file -b "$bundle/x86/ORVANE.OCX" | grep -q '^PE32 ' && pass "x86/ORVANE.OCX is 32-bit" || fail "x86/ORVANE.OCX is not 32-bit"
file -b "$bundle/x64/ORVANE.OCX" | grep -q '^PE32+ ' && pass "x64/ORVANE.OCX is 64-bit" || fail "x64/ORVANE.OCX is not 64-bit"
file -b "$bundle/x86/Harfix.dll" | grep -q '^PE32 ' && pass "x86/Harfix.dll is 32-bit" || fail "x86/Harfix.dll is not 32-bit"

clsid='{9EBE2CF0-7C53-4DD8-8389-3180337D7FB4}'
server_of() {  # server_of VIEW ROOT: the control's server in that registry view
  local loader=wine reg='C:\windows\syswow64\reg.exe'
  # The 64-bit reg, started by the 64-bit loader (see lib/module-width.sh).
  if [ "$1" = 64 ]; then loader=$wine64; reg='C:\windows\system32\reg.exe'; fi
  "$loader" "$reg" query "$2\\Software\\Classes\\CLSID\\$clsid\\InprocServer32" /ve 2>/dev/null |
    tr -d '\r' | awk -F'REG_SZ' 'NF > 1 { sub(/^ +/, "", $2); print $2 }'
}
wine64=$width_wine
bundle_win=$(winepath -w "$bundle")
check_views() {  # check_views ROOT WHAT [VIEWS]: both widths point into the bundle, or neither
  local root=$1 what=$2 views=${3:-32 64}
  for view in $views; do
    local expected actual
    expected=$([ $view = 32 ] && echo "$bundle_win\\x86\\ORVANE.OCX" || echo "$bundle_win\\x64\\ORVANE.OCX")
    [ "$what" = absent ] && expected=""
    actual=$(server_of "$view" "$root")
    [ "$actual" = "$expected" ] && pass "$root $view-bit view: [${actual:-none}]" ||
      fail "$root $view-bit view: expected [${expected:-none}], got [$actual]"
  done
}
# run_cmd EXPECTED SCRIPT [ARG]: the bundle's script in the 64-bit command
# prompt, as on 64-bit Windows; it must say EXPECTED and exit with 0.
run_cmd() {
  local expected=$1 out
  shift
  out=$(cd "$bundle" && "$wine64" cmd /c "$@" 2>&1 | tr -d '\r')
  printf '%s\n' "$out" | sed 's/^/  /'
  grep -qxF "$expected" <<<"$out" && pass "$*: $expected" || fail "$*: did not say [$expected]"
}

echo "-- register.cmd for every user"
run_cmd "Orvane: registered." register.cmd
check_views HKLM present
echo "-- unregister.cmd"
run_cmd "Orvane: unregistered." unregister.cmd
check_views HKLM absent
echo "-- register.cmd user"
run_cmd "Orvane: registered." register.cmd user
# Wine keeps one HKCU\Software\Classes\CLSID for both widths (Windows
# keeps a 32-bit one apart), so there the 64-bit registration, made last,
# is the one that shows.
check_views HKCU present 64
check_views HKLM absent
run_cmd "Orvane: unregistered." unregister.cmd user
check_views HKCU absent

echo "dist: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
