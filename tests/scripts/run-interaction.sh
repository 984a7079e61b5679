#!/usr/bin/env bash
# Mouse, keyboard and the hover balloon through real input: ORVANE.OCX is
# registered in the current Wine prefix and every script under
# tests/scripts/interaction/ runs in testcon.exe against a small catalogue
# (tests/data/interaction). Screenshots land in build/interaction/ and their
# sizes tell whether the balloon was up. Runs inside scripts/with-wine, from
# the repository root; exits non-zero on any failure.
#   scripts/with-wine bash tests/scripts/run-interaction.sh
set -uo pipefail

build=${ORVANE_WIN_BUILD:-build/win}
top=$(pwd)
ocx="$build/bin/ORVANE.OCX"
testcon="$build/bin/testcon.exe"
for f in "$ocx" "$testcon"; do
  if [ ! -f "$f" ]; then
    echo "run-interaction: $f is missing; build the Windows tree first" >&2
    exit 1
  fi
done

passed=0
failed=0
pass() { echo "ok: $*"; passed=$((passed + 1)); }
fail() { echo "FAIL: $*"; failed=$((failed + 1)); }

if [ -d "$build/harfix" ]; then
  export WINEPATH="$(winepath -w "$top/$build/harfix")${WINEPATH:+;$WINEPATH}"
fi
# Registered by the regsvr32 of the module's width, as a host would.
source "$top/tests/scripts/lib/module-width.sh" "$ocx" || exit 1
echo "-- $module_width-bit module and container"
if ! "$width_wine" "$regsvr32_exe" /s "$ocx" >/dev/null 2>&1; then
  echo "run-interaction: regsvr32 could not register $ocx" >&2
  exit 1
fi

# The catalogue, Windows-1256 with CR LF, naming the committed TOC files'
# folder; the scripts find it in their current directory.
work="$top/$build/interaction-run"
shots="$top/build/interaction"
rm -rf "$work"
mkdir -p "$work" "$shots"
rm -f "$shots"/*.png
data_win=$(winepath -w "$top/tests/data/interaction")
printf '%s\r\n' "[Directories]" "TOC=$data_win" "[Books]" "Count=4" \
  "[Categories]" "Count=2" "Name1=الفقه" "Name2=الحديث" \
  "[Category1]" "Count=2" "Title1=متن الغاية والتقريب" "Name1=MATN" "Title2=الشرح" "Name2=SHARH" \
  "[Category2]" "Count=2" \
  "Title1=الجامع المسند الصحيح المختصر من أمور رسول الله صلى الله عليه وسلم وسننه وأيامه" \
  "Name1=LONG" "Title2=الأربعون النووية" "Name2=SHORT" |
  iconv -f UTF-8 -t CP1256 >"$work/INTERACT.INI"

testcon_win=$(winepath -w "$top/$testcon")
size_of_script() {
  # A script may ask for its control's size on its first line: // size WxH
  sed -n '1s|^// size \([0-9]*x[0-9]*\).*|\1|p' "$1"
}

for script in "$top"/tests/scripts/interaction/*.js; do
  [ -e "$script" ] || continue
  name=$(basename "$script")
  size=$(size_of_script "$script")
  out=$(cd "$work" && timeout 300 wine "$testcon_win" --size "${size:-300x400}" \
    "$(winepath -w "$script")" 2>"$work/stderr.txt")
  code=$?
  err=$(tr -d '\r' <"$work/stderr.txt")
  printf '%s\n' "$out" | tr -d '\r' | sed "s/^/  $name: /"
  [ -n "$err" ] && printf '%s\n' "$err" | sed "s/^/  $name (stderr): /"
  if [ "$code" -eq 0 ] && ! grep -q '^FAIL' <<<"$out"; then
    pass "$name"
  else
    fail "$name (exit $code)"
  fi
done

# A screenshot covers the control and, when it is up, the balloon: a picture
# wider than the control holds a balloon.
png_width() { file -b "$1" 2>/dev/null | sed -n 's/^PNG image data, \([0-9]*\) x .*/\1/p'; }
expect_width() {
  local shot="$shots/$1" relation=$2 width=$3 actual
  actual=$(png_width "$shot")
  if [ -z "$actual" ]; then fail "$1: no PNG"; return; fi
  if [ "$actual" "$relation" "$width" ]; then pass "$1: width $actual $relation $width"; else
    fail "$1: width $actual, expected $relation $width"; fi
}
echo "-- screenshots"
expect_width balloon-left.png -gt 300
expect_width balloon-gone.png -eq 300
expect_width balloon-again.png -gt 300
expect_width balloon-right.png -gt 300

echo "interaction: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
