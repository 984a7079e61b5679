#!/usr/bin/env bash
# The bundle for host developers: scripts/dist writes it from the 64-bit
# and 32-bit builds; its listing must hold both modules of each width with
# their side-by-side manifests, the type library, the registration scripts,
# the guide and the samples; its register.cmd and unregister.cmd, run by the
# prefix's cmd, must enter and take out the bundle's own modules of each
# width this machine runs, each in the registry view of its width; and with
# nothing registered, the test container of each such width, given only the
# bundle's files and its sample application manifest, must show the control.
# Whether the machine runs 32-bit programs is scripts/runs-32bit's answer
# (ORVANE_NO_32BIT=1 makes it no): then no 32-bit program is started, the
# scripts are told "x64", and the 32-bit checks are said to be left out.
# Runs inside scripts/with-wine from the repository root (for the 64-bit
# pass only: the bundle is the same for both).
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
# The bundle this run wrote, not one an earlier version left beside it.
zip=$(sed -n 's/^dist: //p' <<<"$out" | tail -1)
[ -f "$zip" ] || { echo "run-dist: scripts/dist named no bundle"; exit 1; }
name=$(basename "$zip" .zip)
listing=$(unzip -Z1 "$zip")
for entry in x86/ORVANE.OCX x86/Harfix.dll x86/Orvane.Control.manifest x64/ORVANE.OCX \
  x64/Harfix.dll x64/Orvane.Control.manifest ORVANE.TLB register.cmd unregister.cmd host-guide.md \
  samples/list-books.vbs samples/list-books.js samples/orvane.hta samples/atl_host.cpp \
  samples/orvane-app.exe.manifest; do
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

# Each manifest names its width, the bundle's version and every class.
version_text=$(sed -n 's/^#define ORVANE_VERSION_TEXT "\(.*\)"/\1/p' resources/orvane_version.h)
for pair in x86:x86 x64:amd64; do
  arch=${pair%%:*} machine=${pair#*:} manifest="$bundle/${pair%%:*}/Orvane.Control.manifest"
  grep -q "processorArchitecture=\"$machine\"" "$manifest" && grep -q "version=\"$version_text\"" "$manifest" &&
    grep -q '{9EBE2CF0-7C53-4DD8-8389-3180337D7FB4}' "$manifest" &&
    grep -q '{2A78A059-1BD4-4D73-A4F9-DD40663782BC}' "$manifest" &&
    grep -q 'threadingModel="Apartment"' "$manifest" && grep -q '<file name="Harfix.dll"/>' "$manifest" &&
    pass "$arch manifest: $machine, $version_text, both classes, Harfix.dll" ||
    fail "$arch manifest lacks its width, version, a class or Harfix.dll"
done
grep -q "name=\"Orvane.Control\" version=\"$version_text\"" "$bundle/samples/orvane-app.exe.manifest" &&
  pass "the sample application manifest depends on Orvane.Control $version_text" ||
  fail "the sample application manifest does not name Orvane.Control $version_text"
# The guide in the bundle is the corrected one: it names the files as the
# bundle holds them.
grep -q 'samples/atl_host.cpp' "$bundle/host-guide.md" && ! grep -q 'samples/host/atl_host.cpp' "$bundle/host-guide.md" &&
  pass "the guide names samples/atl_host.cpp" || fail "the guide names the C++ sample where the bundle has none"
grep -q 'Orvane.Control.manifest' "$bundle/host-guide.md" && pass "the guide explains the manifests" ||
  fail "the guide says nothing of the manifests"

# The widths to register and check: both, or x64 alone on a machine that
# runs no 32-bit program.
if [ "$(scripts/runs-32bit)" = yes ]; then
  views="32 64" width_args="" registered="x86 x64" left=""
else
  views="64" width_args="x64" registered="x64" left="x86"
  echo "run-dist: this machine runs no 32-bit programs: x86 registration and the x86 registration-free run are left out"
fi

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
check_views() {  # check_views ROOT WHAT [VIEWS]: each width checked points into the bundle, or none
  local root=$1 what=$2 only=${3:-$views}
  for view in $only; do
    local expected actual
    expected=$([ $view = 32 ] && echo "$bundle_win\\x86\\ORVANE.OCX" || echo "$bundle_win\\x64\\ORVANE.OCX")
    [ "$what" = absent ] && expected=""
    actual=$(server_of "$view" "$root")
    [ "$actual" = "$expected" ] && pass "$root $view-bit view: [${actual:-none}]" ||
      fail "$root $view-bit view: expected [${expected:-none}], got [$actual]"
  done
}
# run_cmd WHAT SCRIPT [ARG...]: the bundle's script in the 64-bit command
# prompt, as on 64-bit Windows, told the widths to leave out; it must say
# which widths it did ("Orvane: registered x86 x64.") and which it left
# out, and exit with 0.
run_cmd() {
  local what=$1 out
  shift
  out=$(cd "$bundle" && "$wine64" cmd /c "$@" $width_args 2>&1 | tr -d '\r')
  printf '%s\n' "$out" | sed 's/^/  /'
  grep -qxF "Orvane: $what $registered." <<<"$out" && pass "$* $width_args: $what $registered" ||
    fail "$* $width_args: did not say [Orvane: $what $registered.]"
  if [ -n "$left" ]; then
    grep -qxF "Orvane: left out $left." <<<"$out" && pass "$*: says it left out $left" ||
      fail "$*: did not say it left out $left"
  fi
}

echo "-- register.cmd for every user"
run_cmd registered register.cmd
check_views HKLM present
echo "-- unregister.cmd"
run_cmd unregistered unregister.cmd
check_views HKLM absent
echo "-- register.cmd user"
run_cmd registered register.cmd user
# Wine keeps one HKCU\Software\Classes\CLSID for both widths (Windows
# keeps a 32-bit one apart), so there the 64-bit registration, made last,
# is the one that shows.
check_views HKCU present 64
check_views HKLM absent
run_cmd unregistered unregister.cmd user
check_views HKCU absent

echo "-- registration-free: the bundle's files and a manifest, nothing registered"
# The catalogue of the container's acceptance scripts.
data_win=$(winepath -w "$top/tests/data/testcon")
regfree_script='var failures = 0;
function expect(actual, expected, what) {
  Host.Echo("check: " + what + " is [" + expected + "]");
  if (actual !== expected) { failures++; Host.Echo("FAIL: " + what + ": got [" + actual + "]"); }
}
var fso = new ActiveXObject("Scripting.FileSystemObject");
expect(Orvane.LoadBooks(fso.GetAbsolutePathName(".") + "\\TESTCON"), true, "LoadBooks");
expect(Host.Rows().split("\n").length, 2, "rows shown");
var area = 298 * 16;
expect(Host.CountColour(0, 0, 298, 16, Host.Colour(1, 8)) < area, true, "the first row is drawn");
expect(Orvane.GetSectionTitle(1, 10).length > 0, true, "a section title from the type library bound call");
if (failures == 0) Host.Echo("registration-free: all checks passed");'
for arch in x86 x64; do
  if [ $arch = x86 ] && [ -n "$left" ]; then
    echo "  x86 left out: this machine runs no 32-bit programs"
    continue
  fi
  build=$([ $arch = x86 ] && echo "$x86" || echo "$x64")
  loader=$([ $arch = x86 ] && echo wine || echo "$wine64")
  view=$([ $arch = x86 ] && echo 32 || echo 64)
  folder="$top/build/dist-regfree/$arch"
  rm -rf "$folder"
  mkdir -p "$folder"
  cp "$bundle/$arch/"* "$folder/"
  cp "$build/bin/testcon.exe" "$folder/"
  # The sample application manifest, named after the program.
  cp "$bundle/samples/orvane-app.exe.manifest" "$folder/testcon.exe.manifest"
  printf '%s\r\n' "[Directories]" "TOC=$data_win" "[Books]" "Count=3" \
    "[Categories]" "Count=2" "Name1=الفقه" "Name2=النحو" \
    "[Category1]" "Count=2" "Title1=متن الغاية" "Name1=MATN" "Title2=الشرح" "Name2=SHARH" \
    "[Category2]" "Count=1" "Title1=الآجرومية" "Name1=AJURR" |
    iconv -f UTF-8 -t CP1256 >"$folder/TESTCON.INI"
  printf '%s\n' "$regfree_script" >"$folder/regfree.js"
  [ -z "$(server_of "$view" HKLM)$(server_of "$view" HKCU)" ] && pass "$arch: the class is registered nowhere" ||
    fail "$arch: the class is still registered"
  for name in ORVANE.OrvaneCtrl.1 ORVANE.OrvaneCtrl; do
    out=$(cd "$folder" && timeout 180 "$loader" testcon.exe --progid "$name" regfree.js 2>&1 | tr -d '\r')
    printf '%s\n' "$out" | sed "s/^/  $arch $name: /"
    grep -qxF "registration-free: all checks passed" <<<"$out" &&
      pass "$arch: $name from the manifest alone shows the control" ||
      fail "$arch: $name from the manifest alone did not show the control"
  done
done

echo "dist: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
