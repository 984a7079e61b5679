#!/usr/bin/env bash
# The control's rows at the display DPIs readers use: for 120, 144 and 192
# DPI, a Wine prefix of its own whose LogPixels says so (the default prefix
# stays at 96), and the control tests that read the system's DPI run in it:
# row pitch, accessible locations and hit-testing of the check-box column.
# The painting and input suites cover the same DPIs without a prefix each.
# Runs inside scripts/with-wine (for its display), from the repository root.
#   scripts/with-wine bash tests/scripts/run-dpi.sh
set -uo pipefail

build=${ORVANE_WIN_BUILD:-build/win}
tests="$build/tests/win32/control/control_tests.exe"
if [ ! -f "$tests" ]; then
  echo "run-dpi: $tests is missing; build the Windows tree first" >&2
  exit 1
fi
top=$(pwd)
failures=0
for dpi in ${ORVANE_DPIS:-120 144 192}; do
  prefix="$top/build/wineprefix-$dpi"
  echo "-- $dpi DPI ($prefix)"
  # The LogPixels is set once, before any program of the prefix runs; the
  # server is restarted so the value is read afresh.
  WINEPREFIX="$prefix" scripts/with-wine bash -c "
    if [ ! -f '$prefix/.logpixels-$dpi' ]; then
      wine reg add 'HKCU\\Control Panel\\Desktop' /v LogPixels /t REG_DWORD /d $dpi /f >/dev/null 2>&1 &&
        touch '$prefix/.logpixels-$dpi'
      wineserver -k
    fi
    wine '$tests' --gtest_brief=1 --gtest_filter='Accessibility.RowsFollowTheDisplaysDpi'
  " || failures=$((failures + 1))
done
exit $failures
