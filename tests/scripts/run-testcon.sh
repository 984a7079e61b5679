#!/usr/bin/env bash
# The control in our test container, the way a host uses it: ORVANE.OCX is
# registered in the current Wine prefix, then every acceptance script under
# tests/scripts/testcon/ runs in testcon.exe against a small catalogue, and
# testcon's own behaviour (exit codes, error lines, --props, --size, UTF-8
# output, screenshots) is checked from here. Runs inside scripts/with-wine,
# from the repository root; exits non-zero on any failure.
#   scripts/with-wine bash tests/scripts/run-testcon.sh
set -uo pipefail

top=$(pwd)
build=${ORVANE_WIN_BUILD:-build/win}
case "$build" in /*) ;; *) build="$top/$build" ;; esac
ocx="$build/bin/ORVANE.OCX"
testcon="$build/bin/testcon.exe"
for f in "$ocx" "$testcon"; do
  if [ ! -f "$f" ]; then
    echo "run-testcon: $f is missing; build the Windows tree first" >&2
    exit 1
  fi
done

passed=0
failed=0
pass() { echo "ok: $*"; passed=$((passed + 1)); }
fail() { echo "FAIL: $*"; failed=$((failed + 1)); }

# The control takes Harfix.dll from its own folder only (bin/ holds a copy
# beside ORVANE.OCX); no search path is set up for it.

# Registered by the regsvr32 of the module's width, as a host would.
source "$top/tests/scripts/lib/module-width.sh" "$ocx" || exit 1
echo "-- $module_width-bit module and container"
if ! "$width_wine" "$regsvr32_exe" /s "$ocx" >/dev/null 2>&1; then
  echo "run-testcon: regsvr32 could not register $ocx" >&2
  exit 1
fi

# Each run works in a fresh folder holding the catalogue; the scripts find
# it as their current directory. The catalogue is Windows-1256 with CR LF
# and names the committed TOC files' folder.
work="$build/testcon-run"
rm -rf "$work"
mkdir -p "$work"
data_win=$(winepath -w "$top/tests/data/testcon")
printf '%s\r\n' "[Directories]" "TOC=$data_win" "[Books]" "Count=3" \
  "[Categories]" "Count=2" "Name1=الفقه" "Name2=النحو" \
  "[Category1]" "Count=2" "Title1=متن الغاية" "Name1=MATN" "Title2=الشرح" "Name2=SHARH" \
  "[Category2]" "Count=1" "Title1=الآجرومية" "Name1=AJURR" |
  iconv -f UTF-8 -t CP1256 >"$work/TESTCON.INI"

testcon_win=$(winepath -w "$testcon")
# Runs testcon in the work folder; stdout, stderr and the exit code land in
# $out, $err and $code.
run_testcon() {
  # A script that never ends must not hold up the whole run.
  out=$(cd "$work" && timeout 180 wine "$testcon_win" "$@" 2>"$work/stderr.txt")
  code=$?
  err=$(tr -d '\r' <"$work/stderr.txt")
}

echo "-- acceptance scripts"
for script in "$top"/tests/scripts/testcon/*.vbs "$top"/tests/scripts/testcon/*.js; do
  [ -e "$script" ] || continue
  name=$(basename "$script")
  script_win=$(winepath -w "$script")
  run_testcon "$script_win"
  printf '%s\n' "$out" | sed "s/^/  $name: /"
  [ -n "$err" ] && printf '%s\n' "$err" | sed "s/^/  $name (stderr): /"
  if [ "$code" -eq 0 ] && ! grep -q '^FAIL' <<<"$out"; then
    pass "$name"
  else
    # The path as given, to tell a path that came out of winepath wrong from
    # one testcon read wrong.
    fail "$name (exit $code; given [$script_win])"
  fi
done

# Wine turns a command line into Unicode with the Unix locale: without the
# one scripts/setup generates, an Arabic path arrives as question marks and
# the script is not found.
echo "-- an Arabic path on the command line"
arabic_dir="$work/مكتبة الكتب"
mkdir -p "$arabic_dir"
printf '%s\r\n' 'var want = "\u0645\u0643\u062A\u0628\u0629 \u0627\u0644\u0643\u062A\u0628";' \
  'var dir = Host.ScriptDir;' \
  'Host.Echo(dir.slice(dir.length - want.length) == want ? "intact" : "FAIL: the folder arrived as " + escape(dir));' \
  >"$arabic_dir/فحص.js"
run_testcon "$(winepath -w "$arabic_dir/فحص.js")"
if [ "$code" -eq 0 ] && [ "$(tr -d '\r' <<<"$out")" = intact ]; then
  pass "an Arabic script path reaches testcon intact"
else
  fail "an Arabic script path (exit $code): $out $err"
fi

echo "-- a form being designed (ambient UserMode false)"
for script in "$top"/tests/scripts/testcon/design/*.js; do
  [ -e "$script" ] || continue
  name=$(basename "$script")
  run_testcon --design "$(winepath -w "$script")"
  printf '%s\n' "$out" | sed "s/^/  $name: /"
  [ -n "$err" ] && printf '%s\n' "$err" | sed "s/^/  $name (stderr): /"
  if [ "$code" -eq 0 ] && grep -q "all checks passed" <<<"$out" && ! grep -q '^FAIL' <<<"$out"; then
    pass "$name (--design)"
  else
    fail "$name (--design, exit $code)"
  fi
done

echo "-- the event log sample"
run_testcon "$(winepath -w "$top/samples/log-events.vbs")"
printf '%s\n' "$out" | sed "s/^/  log-events.vbs: /"
log_has() {
  if [ "$code" -eq 0 ] && grep -qxF -- "$1" <<<"$(tr -d '\r' <<<"$out")"; then pass "log-events.vbs: $1"
  else fail "log-events.vbs: no line [$1] (exit $code)"; fi
}
log_has "NodeSelect الفقه (level 0, book 0); ActiveBook 0"
log_has "NodeExpand الفقه (level 0, book 0)"
log_has "NodeSelect متن الغاية (level 1, book 1); ActiveBook 1"
log_has "ContextMenu متن الغاية (level 1, book 1) at $(grep -o 'ContextMenu متن الغاية (level 1, book 1) at [0-9]*,[0-9]*' <<<"$out" | sed 's/.* at //')"
log_has "NodeCheck الشرح (level 1, book 2): state 1"
log_has "NodeCheck الفقه (level 0, book 0): state 2"
log_has "NodeExpand النحو (level 0, book 0)"
log_has "NodeCollapse الآجرومية (level 1, book 3)"

echo "-- the container itself"
source "$top/tests/scripts/testcon/container_checks.sh"

echo "testcon: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
