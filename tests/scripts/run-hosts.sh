#!/usr/bin/env bash
# The host samples as a host developer runs them, against the module of the
# build under test: the VBScript and JScript clients in the script host of
# the module's width, the C++ host on the system's "AtlAxWin" window class
# (navigation, and the Properties verb opening the property frame), and the
# per-user registration (regsvr32 /n /i:user), which must leave the
# machine-wide classes as they were. Runs inside scripts/with-wine, from the
# repository root; exits non-zero on any failure.
#   scripts/with-wine bash tests/scripts/run-hosts.sh
set -uo pipefail

top=$(pwd)
build=${ORVANE_WIN_BUILD:-build/win}
case "$build" in /*) ;; *) build="$top/$build" ;; esac
ocx="$build/bin/ORVANE.OCX"
host="$build/bin/atl_host.exe"
for f in "$ocx" "$host"; do
  if [ ! -f "$f" ]; then
    echo "run-hosts: $f is missing; build the Windows tree first" >&2
    exit 1
  fi
done
source "$top/tests/scripts/lib/module-width.sh" "$ocx" || exit 1
echo "-- $module_width-bit module, script host and C++ host"

passed=0
failed=0
pass() { echo "ok: $*"; passed=$((passed + 1)); }
fail() { echo "FAIL: $*"; failed=$((failed + 1)); }
# expect_line NAME OUTPUT LINE: OUTPUT holds LINE exactly.
expect_line() {
  if grep -qxF -- "$3" <<<"$2"; then pass "$1: $3"; else fail "$1: no line [$3]"; fi
}

if [ -d "$build/harfix" ]; then
  export WINEPATH="$(winepath -w "$build/harfix")${WINEPATH:+;$WINEPATH}"
fi
ocx_win=$(winepath -w "$ocx")
"$width_wine" "$regsvr32_exe" /s "$ocx_win" || { echo "run-hosts: regsvr32 failed" >&2; exit 1; }

# The catalogue of the control's tests: two books, ASCII titles.
work="$build/hosts-run"
rm -rf "$work"
mkdir -p "$work"
data_win=$(winepath -w "$top/tests/data/control")
printf '%s\r\n' "[Directories]" "TOC=$data_win" "[Books]" "Count=2" "[Categories]" "Count=2" \
  "Name1=Grammar" "Name2=Law" "[Category1]" "Count=1" "Title1=Nahw" "Name1=NAHW" \
  "[Category2]" "Count=1" "Title1=Fiqh" "Name1=FIQH" >"$work/HOSTS.INI"
catalogue=$(winepath -w "$work/HOSTS")

echo "-- script clients"
for sample in list-books.vbs list-books.js; do
  out=$("$width_wine" "$cscript_exe" //nologo "$(winepath -w "$top/samples/hosts/$sample")" "$catalogue" 2 43 2>&1 |
    tr -d '\r')
  printf '%s\n' "$out" | sed "s/^/  $sample: /"
  expect_line "$sample" "$out" "section at 43: Purity"
done
vbs_out=$("$width_wine" "$cscript_exe" //nologo "$(winepath -w "$top/samples/hosts/list-books.vbs")" "$catalogue" 2>&1 | tr -d '\r')
expect_line list-books.vbs "$vbs_out" "BackColor is a Long (&H80000005)"
expect_line list-books.vbs "$vbs_out" "BackColor is a system colour"
expect_line list-books.vbs "$vbs_out" "BackColor now &HF0FAFF"
js_out=$("$width_wine" "$cscript_exe" //nologo "$(winepath -w "$top/samples/hosts/list-books.js")" "$catalogue" 2>&1 | tr -d '\r')
expect_line list-books.js "$js_out" "BackColor is a number, unsigned 0x80000005"
expect_line list-books.js "$js_out" "BackColor now 0xf0faff"

walk_out=$("$width_wine" "$cscript_exe" //nologo "$(winepath -w "$top/samples/hosts/walk-library.vbs")" "$catalogue" 2>&1 | tr -d '\r')
printf '%s\n' "$walk_out" | sed "s/^/  walk-library.vbs: /"
expect_line walk-library.vbs "$walk_out" "Grammar [category]"
expect_line walk-library.vbs "$walk_out" "  Nahw [book 1]"
expect_line walk-library.vbs "$walk_out" "    Purity [section 2 @43]"
expect_line walk-library.vbs "$walk_out" "      Water [section 2 @97]"
expect_line walk-library.vbs "$walk_out" "15 nodes"

echo "-- C++ host on AtlAxWin"
out=$(cd "$work" && timeout 180 wine "$(winepath -w "$host")" "$catalogue" 2 43 /properties /autoclose 2>&1 |
  tr -d '\r')
code=$?
printf '%s\n' "$out" | sed 's/^/  atl_host: /'
[ $code -eq 0 ] && pass "atl_host exits with 0" || fail "atl_host exited with $code"
expect_line atl_host "$out" "module width: $module_width-bit"
expect_line atl_host "$out" "LoadBooks: True"
expect_line atl_host "$out" "GotoTocPosition: True"
expect_line atl_host "$out" "GetSectionTitle: Purity"
expect_line atl_host "$out" "BackColor type: 3"
expect_line atl_host "$out" "Properties verb: 0x00000000"
if grep -q "^property frame: .*Orvane Control" <<<"$out"; then pass "atl_host: the verb opened the frame";
else fail "atl_host: no property frame"; fi

echo "-- per-user registration"
clsid='{9EBE2CF0-7C53-4DD8-8389-3180337D7FB4}'
user_key="HKCU\\Software\\Classes\\CLSID\\$clsid\\InprocServer32"
machine_key="HKLM\\Software\\Classes\\CLSID\\$clsid\\InprocServer32"
user_typelib='HKCU\Software\Classes\TypeLib\{4F1DDA02-C7DA-4669-A57A-F47B1177F673}'
server_of() { "$width_wine" "$reg_exe" query "$1" /ve 2>/dev/null | tr -d '\r' | awk -F'REG_SZ' 'NF > 1 { sub(/^ +/, "", $2); print $2 }'; }
machine_before=$(server_of "$machine_key")
[ "$machine_before" = "$ocx_win" ] && pass "machine-wide registration in place" ||
  fail "machine-wide server is [$machine_before]"
"$width_wine" "$regsvr32_exe" /s /n /i:user "$ocx_win" && pass "regsvr32 /n /i:user" || fail "regsvr32 /n /i:user exited with $?"
[ "$(server_of "$user_key")" = "$ocx_win" ] && pass "the user's classes hold the control" ||
  fail "the user's classes lack the control"
"$width_wine" "$reg_exe" query "$user_typelib" >/dev/null 2>&1 && pass "the user's classes hold the type library" ||
  fail "the user's classes lack the type library"
[ "$(server_of "$machine_key")" = "$machine_before" ] && pass "machine-wide class untouched by the per-user registration" ||
  fail "the machine-wide class changed"
"$width_wine" "$regsvr32_exe" /s /u /n /i:user "$ocx_win" && pass "regsvr32 /u /n /i:user" ||
  fail "regsvr32 /u /n /i:user exited with $?"
"$width_wine" "$reg_exe" query "HKCU\\Software\\Classes\\CLSID\\$clsid" >/dev/null 2>&1 &&
  fail "the user's class is still there" || pass "the user's class is gone"
[ "$(server_of "$machine_key")" = "$machine_before" ] && pass "machine-wide class untouched by the per-user removal" ||
  fail "the machine-wide class changed on removal"

echo "hosts: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
