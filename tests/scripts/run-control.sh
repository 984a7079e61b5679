#!/usr/bin/env bash
# The control as hosts meet it: ORVANE.OCX registered and unregistered with
# regsvr32 inside the Wine prefix (registry entries checked with reg), then
# driven by cscript from JScript and VBScript. The regsvr32, reg and cscript
# are those of the module's width (a 32-bit module meets the 32-bit ones and
# the 32-bit registry view). Runs inside scripts/with-wine, from the
# repository root; exits non-zero on any failure.
#   scripts/with-wine bash tests/scripts/run-control.sh
set -uo pipefail

build=${ORVANE_WIN_BUILD:-build/win}
ocx="$build/bin/ORVANE.OCX"
if [ ! -f "$ocx" ]; then
  echo "run-control: $ocx is missing; build the Windows tree first" >&2
  exit 1
fi
ocx_win=$(winepath -w "$ocx")
source "$(dirname "$0")/lib/module-width.sh" "$ocx" || exit 1
echo "-- $module_width-bit module $ocx"

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

control_key='HKCR\CLSID\{9EBE2CF0-7C53-4DD8-8389-3180337D7FB4}'
page_key='HKCR\CLSID\{2A78A059-1BD4-4D73-A4F9-DD40663782BC}'
typelib_key='HKCR\TypeLib\{4F1DDA02-C7DA-4669-A57A-F47B1177F673}'
# The type library key is shared by both registry views; each width has its
# own platform subkey under it.
typelib_platform_key="$typelib_key\\1.1\\409\\$typelib_platform"
all_keys=("$control_key" "$page_key" "$typelib_platform_key" 'HKCR\ORVANE.OrvaneCtrl.1' 'HKCR\ORVANE.OrvanePropPage.1')

key_exists() { "$width_wine" "$reg_exe" query "$1" >/dev/null 2>&1; }

# The default or named value of a key, as reg prints it.
reg_value() {
  local key=$1 name=$2
  if [ "$name" = "" ]; then
    "$width_wine" "$reg_exe" query "$key" /ve 2>/dev/null | tr -d '\r' | awk -F'REG_SZ' 'NF > 1 { sub(/^ +/, "", $2); print $2 }'
  else
    "$width_wine" "$reg_exe" query "$key" /v "$name" 2>/dev/null | tr -d '\r' | awk -F'REG_SZ' 'NF > 1 { sub(/^ +/, "", $2); print $2 }'
  fi
}

expect_value() {
  local key=$1 name=$2 expected=$3 actual
  actual=$(reg_value "$key" "$name")
  [ "$actual" = "$expected" ] || fail "$key ${name:-(default)}: expected [$expected], got [$actual]"
}

expect_registered() {
  for key in "${all_keys[@]}"; do key_exists "$key" || fail "$1: $key is missing"; done
  expect_value "$control_key" "" "Orvane Control"
  expect_value "$control_key\\ProgID" "" "ORVANE.OrvaneCtrl.1"
  expect_value "$control_key\\InprocServer32" "" "$ocx_win"
  expect_value "$control_key\\ToolboxBitmap32" "" "$ocx_win, 1"
  expect_value "$control_key\\TypeLib" "" "{4F1DDA02-C7DA-4669-A57A-F47B1177F673}"
  expect_value "$control_key\\Version" "" "1.1"
  expect_value "$control_key\\MiscStatus\\1" "" "131473"
  key_exists "$control_key\\Control" || fail "$1: the Control mark is missing"
  key_exists "$control_key\\Insertable" && fail "$1: the control is marked insertable"
  [ -z "$(reg_value "$control_key\\InprocServer32" ThreadingModel)" ] ||
    fail "$1: a threading model was written"
  expect_value 'HKCR\ORVANE.OrvaneCtrl.1\CLSID' "" "{9EBE2CF0-7C53-4DD8-8389-3180337D7FB4}"
  expect_value "$page_key" "" "Orvane Property Page"
  expect_value "$page_key\\InprocServer32" "" "$ocx_win"
  expect_value "$typelib_key\\1.1" "" "Orvane OLE Control module"
}

expect_unregistered() {
  for key in "${all_keys[@]}"; do key_exists "$key" && fail "$1: $key is still there"; done
}

echo "-- registration"
"$width_wine" "$regsvr32_exe" /s "$ocx_win" || fail "regsvr32 exited with $?"
expect_registered "after registering"

"$width_wine" "$regsvr32_exe" /u /s "$ocx_win" || fail "regsvr32 /u exited with $?"
expect_unregistered "after unregistering"

# Nothing left to unregister: the type library step fails and says so.
if "$width_wine" "$regsvr32_exe" /u /s "$ocx_win"; then fail "a second unregistration reported success"; fi

"$width_wine" "$regsvr32_exe" /s "$ocx_win" || fail "registering again exited with $?"
expect_registered "after registering again"

run_script() {
  local script=$1 output
  output=$("$width_wine" "$cscript_exe" //nologo "$(winepath -w "$script")" 2>&1 | tr -d '\r')
  local status=$?
  echo "$output"
  # cscript ends with 0 when a script stops on an error it did not catch, so
  # the script's closing line is required as well.
  [ $status -eq 0 ] && grep -q "all checks passed" <<<"$output" || fail "$script"
}

echo "-- scripts"
run_script tests/scripts/control_automation.js
run_script tests/scripts/control_automation.vbs

if [ $failures -gt 0 ]; then
  echo "run-control: $failures failure(s)"
  exit 1
fi
echo "run-control: all passed"
