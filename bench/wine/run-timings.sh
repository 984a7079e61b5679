#!/usr/bin/env bash
# Timing under Wine of the real control in the test container (loading the
# benchmark library, opening a category, jumping into unread books, a
# catalogue of 31,000 books without files, rebuilding 31,002 rows), then in
# the same run its peers: reading the same files with nothing else, failing
# as many opens, and the system tree view's inserts and expand; last, a
# 25-row repaint beside the same repaint with the text library keeping no
# lines, the rows without titles and bare ExtTextOutW of the titles. Needs
# `make native win`. Prints the figures; asserts nothing.
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
cd "$top"
lib="$top/build/bench-library"
build/native/bench/make_bench_library "$lib" "Z:${lib//\//\\}\\books"
# A small library for the Nodes' soak: the control tests' two books.
data="Z:${top//\//\\}\\tests\\data\\control"
printf '%s\r\n' "[Directories]" "TOC=$data" "[Books]" "Count=2" "[Categories]" "Count=2" \
  "Name1=Grammar" "Name2=Law" "[Category1]" "Count=1" "Title1=Nahw" "Name1=NAHW" \
  "[Category2]" "Count=1" "Title1=Fiqh" "Name1=FIQH" >"$lib/SMALL.INI"
export ORVANE_WIN_BUILD="${ORVANE_WIN_BUILD:-build/win}"
scripts/with-wine bash -c '
  wine regsvr32 /s "$ORVANE_WIN_BUILD/bin/ORVANE.OCX"
  wine "$ORVANE_WIN_BUILD/bin/testcon.exe" --size 300x400 bench/wine/load_books_timing.js
  wine "$ORVANE_WIN_BUILD/bench/win32/peer_timing.exe" "$(winepath -w build/bench-library/books)"
  wine "$ORVANE_WIN_BUILD/bench/win32/repaint_timing.exe"
  wine "$ORVANE_WIN_BUILD/bin/testcon.exe" --size 300x400 bench/wine/node_walk_timing.js
  wine "$ORVANE_WIN_BUILD/bin/testcon.exe" --size 300x400 bench/wine/find_timing.js
  wine "$ORVANE_WIN_BUILD/bench/win32/node_memory_timing.exe" "$ORVANE_WIN_BUILD/bin/ORVANE.OCX" \
    "$(winepath -w build/bench-library/LIB)" "$(winepath -w build/bench-library/SMALL)"
'
