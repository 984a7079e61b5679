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

# The text library is loaded by name from the process's search path.
if [ -d "$build/harfix" ]; then
  export WINEPATH="$(winepath -w "$build/harfix")${WINEPATH:+;$WINEPATH}"
fi

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
  run_testcon "$(winepath -w "$script")"
  printf '%s\n' "$out" | sed "s/^/  $name: /"
  [ -n "$err" ] && printf '%s\n' "$err" | sed "s/^/  $name (stderr): /"
  if [ "$code" -eq 0 ] && ! grep -q '^FAIL' <<<"$out"; then
    pass "$name"
  else
    fail "$name (exit $code)"
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
