#!/usr/bin/env bash
# A short soak: the control created, used and destroyed SOAK_CYCLES times
# (50 unless told) in one process, which must end with the GDI, USER,
# handle and memory counts it had after the first cycle. A long run:
#   SOAK_CYCLES=1000 scripts/with-wine bash tests/scripts/run-soak.sh
# Runs inside scripts/with-wine, from the repository root.
set -euo pipefail
build=${ORVANE_WIN_BUILD:-build/win}
soak="$build/tests/win32/soak/orvane_soak.exe"
if [ ! -f "$soak" ]; then
  echo "run-soak: $soak is missing; build the Windows tree first" >&2
  exit 1
fi
wine "$soak" "${SOAK_CYCLES:-50}" "${SOAK_REPORT_EVERY:-100}" | sed -u 's/\r$//'
