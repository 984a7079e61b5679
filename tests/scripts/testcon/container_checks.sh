# testcon's own contract, checked from the runner (sourced by
# tests/scripts/run-testcon.sh, which provides run_testcon, pass, fail and
# $work): exit codes and error lines, UTF-8 output, --props, --size and the
# screenshot's PNG.

# Writes a script into the work folder and prints its Windows path.
scratch_script() {
  local name=$1
  cat >"$work/$name"
  winepath -w "$work/$name"
}

# The width and height stored in a PNG's header, as "WxH".
png_size() {
  local hex
  hex=$(od -An -tx1 -j16 -N8 "$1" | tr -d ' \n')
  echo "$((16#${hex:0:8}))x$((16#${hex:8:8}))"
}

expect_exit() {
  local what=$1 expected=$2
  if [ "$code" -eq "$expected" ]; then pass "$what: exit $expected"; else fail "$what: exit $code, expected $expected"; fi
}

expect_stderr() {
  local what=$1 pattern=$2
  if grep -qF -- "$pattern" <<<"$err"; then pass "$what: stderr names [$pattern]"; else fail "$what: stderr [$err] lacks [$pattern]"; fi
}

echo "check: a command line without a script is refused with the usage"
run_testcon
expect_exit "no script" 2
expect_stderr "no script" "usage: testcon.exe"

echo "check: a script that is neither .vbs nor .js is refused"
run_testcon "$(scratch_script plain.txt <<<'Host.Echo "x"')"
expect_exit "unknown extension" 2

echo "check: a control class that is not registered fails before the script runs"
run_testcon --progid ORVANE.NoSuchCtrl.1 "$(scratch_script never.vbs <<<'Host.Echo "ran"')"
expect_exit "unknown ProgID" 1
expect_stderr "unknown ProgID" "ORVANE.NoSuchCtrl.1"
[ -z "$out" ] && pass "unknown ProgID: the script did not run" || fail "unknown ProgID: the script ran: [$out]"

echo "check: a VBScript runtime error ends the run with its line and description"
run_testcon "$(scratch_script runtime_error.vbs <<'VBS'
Host.Echo "before"
Dim x
x = 1 / 0
Host.Echo "after"
VBS
)"
expect_exit "VBScript runtime error" 1
expect_stderr "VBScript runtime error" "runtime_error.vbs(3"
[ "$out" = "before" ] && pass "VBScript runtime error: the script stopped at the error" ||
  fail "VBScript runtime error: output [$out]"

echo "check: a JScript syntax error is reported with its line"
run_testcon "$(scratch_script syntax_error.js <<'JS'
Host.Echo("fine");
var broken = (1 + ;
JS
)"
expect_exit "JScript syntax error" 1
expect_stderr "JScript syntax error" "syntax_error.js(2"

echo "check: an error thrown by the script fails the run with its message"
run_testcon "$(scratch_script thrown.js <<<'throw new Error("planted failure");')"
expect_exit "thrown error" 1
expect_stderr "thrown error" "planted failure"

echo "check: an error inside an event handler fails the run"
run_testcon "$(scratch_script handler_error.vbs <<'VBS'
Sub Orvane_MouseDown(Button, Shift, x, y)
  Err.Raise vbObjectError + 7, "handler", "planted in MouseDown"
End Sub
Host.Click 20, 20
VBS
)"
expect_exit "event handler error" 1
expect_stderr "event handler error" "planted in MouseDown"

echo "check: Host.Echo writes UTF-8, whatever the console's code page"
run_testcon "$(scratch_script arabic_echo.js <<<'Host.Echo("الفقه " + "\u0627\u0644\u0646\u062D\u0648");')"
expect_exit "Arabic echo" 0
[ "$out" = "الفقه النحو" ] && pass "Arabic echo: bytes are UTF-8" || fail "Arabic echo: got [$out]"

echo "check: the rows' Arabic titles reach the runner as UTF-8"
run_testcon "$(scratch_script rows_echo.vbs <<'VBS'
Orvane.ApplyCheck = True
Orvane.LoadBooks CreateObject("Scripting.FileSystemObject").GetAbsolutePathName(".") & "\TESTCON"
Orvane.GotoTocPosition 3, 73
Host.Echo Host.Rows()
VBS
)"
expected_rows=$'0|0|0|1|0|الفقه\n1|0|1|1|0|النحو\n2|1|1|1|0|الآجرومية\n3|2|0|1|0|باب الكلام\n4|2|1|1|0|باب الإعراب\n5|3|0|1|0|علامات الرفع'
[ "$out" = "$expected_rows" ] && pass "rows as UTF-8" || fail "rows as UTF-8: got [$out]"

echo "check: --props loads the persisted names, not the automation names"
cat >"$work/start.props" <<'PROPS'
# written by hand: the control's persisted names
Indent=25
ShowHint=False
ShowBalloonHelp=True
ElapsedTime=250
TocFile=D:\books\x.txt
FontA=object:{0BE35203-8F91-11CE-9DE3-00AA004BB851}
FontA.Name=Courier New
FontA.Size=14
PROPS
run_testcon --props "$(winepath -w "$work/start.props")" "$(scratch_script props.vbs <<'VBS'
Host.Echo Orvane.Indent & "|" & CInt(Orvane.ShowBalloonHelp) & "|" & Orvane.ElapsedTime & "|" & Orvane.TocFile & "|" & CInt(Orvane.Fonta.Size) & "|" & Orvane.Alignment
VBS
)"
expect_exit "--props" 0
[ "$out" = "25|0|250|D:\books\x.txt|14|2" ] && pass "--props: values loaded, others defaulted" ||
  fail "--props: got [$out]"

echo "check: a properties file with a line that is not Name=Value is refused"
printf 'Indent=3\nthis line has no value\n' >"$work/bad.props"
run_testcon --props "$(winepath -w "$work/bad.props")" "$(winepath -w "$work/never.vbs")"
expect_exit "bad --props" 1
expect_stderr "bad --props" "(2)"

echo "check: --size gives the control that area, and Screenshot a PNG of it"
shot="$work/size.png"
run_testcon --size 200x150 "$(scratch_script size.js <<JS
Host.Screenshot("$(winepath -w "$shot" | sed 's/\\/\\\\/g')");
JS
)"
expect_exit "--size" 0
if [ -f "$shot" ] && [ "$(od -An -tx1 -N8 "$shot" | tr -d ' \n')" = "89504e470d0a1a0a" ]; then
  size=$(png_size "$shot")
  [ "$size" = "200x150" ] && pass "Screenshot: a PNG of 200x150" || fail "Screenshot: PNG of $size"
else
  fail "Screenshot: no PNG at $shot"
fi

echo "check: Screenshot accepts a Unix path"
shot="$work/unix path.png"
run_testcon "$(scratch_script unix_shot.js <<JS
Host.Screenshot("$shot");
JS
)"
[ -f "$shot" ] && [ "$(png_size "$shot")" = "300x400" ] && pass "Screenshot to a Unix path, default size" ||
  fail "Screenshot to a Unix path: exit $code, $err"

echo "check: Recreate with nothing saved yet keeps the properties of the moment"
run_testcon "$(scratch_script recreate_unsaved.vbs <<'VBS'
Orvane.Indent = 33
Orvane.ElapsedTime = 777
Host.Recreate
Host.Echo Orvane.Indent & "|" & Orvane.ElapsedTime
VBS
)"
expect_exit "Recreate unsaved" 0
[ "$out" = "33|777" ] && pass "Recreate unsaved: properties kept" || fail "Recreate unsaved: got [$out]"

echo "check: Recreate after --props starts from the file"
run_testcon --props "$(winepath -w "$work/start.props")" "$(scratch_script recreate_props.vbs <<'VBS'
Orvane.Indent = 3
Host.Recreate
Host.Echo Orvane.Indent
VBS
)"
[ "$code" -eq 0 ] && [ "$out" = "25" ] && pass "Recreate after --props: the file's Indent" ||
  fail "Recreate after --props: exit $code, got [$out]"

echo "check: TopIndex follows the list when the selected row lies below a short control"
run_testcon --size 300x48 "$(scratch_script top_index.vbs <<'VBS'
Orvane.LoadBooks CreateObject("Scripting.FileSystemObject").GetAbsolutePathName(".") & "\TESTCON"
Host.Echo Host.TopIndex
Orvane.GotoTocPosition 3, 73
Host.Echo Host.Selection & "|" & Host.TopIndex
VBS
)"
top_before=$(sed -n 1p <<<"$out")
selection=$(sed -n 2p <<<"$out" | cut -d'|' -f1)
top_after=$(sed -n 2p <<<"$out" | cut -d'|' -f2)
if [ "$code" -eq 0 ] && [ "$top_before" = 0 ] && [ "$selection" = 5 ] &&
  [ "$top_after" -gt 0 ] 2>/dev/null && [ "$top_after" -le "$selection" ]; then
  pass "TopIndex: 0, then $top_after with row $selection selected"
else
  fail "TopIndex: exit $code, output [$out]"
fi

echo "check: Screenshot takes in the hover balloon of a cut title"
shot="$work/balloon.png"
run_testcon --size 120x200 "$(scratch_script balloon.js <<JS
Orvane.ElapsedTime = 100;
Orvane.LoadBooks(new ActiveXObject("Scripting.FileSystemObject").GetAbsolutePathName(".") + "\\\\TESTCON");
Orvane.GotoTocPosition(1, 143);
// Row 5, a fourth-level section: its title is cut at the control's left
// edge, and ends 2 pixels short of its icon, at x = 5.
Host.MouseMove(3, 5 * 16 + 8);
Host.Wait(400);
Host.Screenshot("$shot");
JS
)"
if [ "$code" -eq 0 ] && [ -f "$shot" ]; then
  size=$(png_size "$shot")
  width=${size%x*}
  [ "$width" -gt 120 ] && [ "${size#*x}" = 200 ] && pass "balloon screenshot: $size, wider than the control" ||
    fail "balloon screenshot: $size, the balloon is not in it"
else
  fail "balloon screenshot: exit $code, $err"
fi
