#!/usr/bin/env bash
# Checks the 32-bit build without running any 32-bit program, so that it is
# checked on every machine, including those that run no 32-bit programs:
#   - every PE file of each build is an image of its width;
#   - ORVANE.OCX and Harfix.dll export what their .def files list, the same
#     names in both widths;
#   - every DLL and function a 32-bit file imports is in the 32-bit DLL set
#     the prefix gives 32-bit programs (Wine's i386-windows folder, or the
#     copy scripts/setup unpacks where the 32-bit Wine is not installed);
#   - the 32-bit type library, read back through the 64-bit oleaut32, has
#     the same types and members (names, DISPIDs, types, flags) as the
#     64-bit one.
# Runs inside scripts/with-wine, from the repository root.
set -uo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
cd "$top"
build64=${ORVANE_WIN_BUILD:-build/win}
build32=${ORVANE_WIN32_BUILD:-build/win32}
check=tests/scripts/check-pe.py
failed=0
step() { echo "-- $1"; shift; "$@" || failed=1; }

pe_files() { find "$1" \( -iname '*.exe' -o -iname '*.dll' -o -iname '*.ocx' \) -type f \
               -not -path '*/CMakeFiles/*' | sort; }
mapfile -t files32 < <(pe_files "$build32")
mapfile -t files64 < <(pe_files "$build64")
if [ ${#files32[@]} -eq 0 ] || [ ! -f "$build32/bin/ORVANE.OCX" ]; then
  echo "check-win32-build: no 32-bit build in $build32" >&2
  exit 1
fi

step "machine types (32-bit)" python3 "$check" machine 32 "${files32[@]}"
step "machine types (64-bit)" python3 "$check" machine 64 "${files64[@]}"
step "exports of ORVANE.OCX" python3 "$check" exports "$build32/bin/ORVANE.OCX" control/orvane.def "$build64/bin/ORVANE.OCX"
step "exports of Harfix.dll" python3 "$check" exports "$build32/bin/Harfix.dll" harfix/Harfix.def "$build64/bin/Harfix.dll"

dlls=""
for d in /usr/lib/i386-linux-gnu/wine/i386-windows build/wine32-dlls/usr/lib/i386-linux-gnu/wine/i386-windows; do
  [ -f "$d/kernel32.dll" ] && { dlls=$d; break; }
done
if [ -n "$dlls" ]; then
  step "imports of the 32-bit files, against $dlls" python3 "$check" imports "$dlls" "${files32[@]}"
else
  echo "-- imports of the 32-bit files: not checked: no 32-bit DLL set here (scripts/setup unpacks one)"
fi

echo "-- the 32-bit type library through the 64-bit oleaut32"
dump=$build64/tests/win32/typelib/typelib_dump.exe
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
if wine "$dump" "$(winepath -w "$build64/bin/ORVANE.OCX")" >"$work/64.txt" 2>"$work/64.err" &&
   wine "$dump" "$(winepath -w "$build32/bin/ORVANE.OCX")" >"$work/32.txt" 2>"$work/32.err"; then
  types=$(grep -c '^type ' "$work/64.txt")
  members=$(grep -cE '^  (func|var) ' "$work/64.txt")
  if [ "$types" -gt 0 ] && diff -u "$work/64.txt" "$work/32.txt" >"$work/diff"; then
    echo "type library: $types types and $members members alike in both widths"
  else
    echo "  the type libraries differ ($types types in the 64-bit one):"
    head -n 40 "$work/diff" | sed 's/^/  /'
    failed=1
  fi
else
  echo "  could not read a type library:"; cat "$work/64.err" "$work/32.err" | sed 's/^/  /'
  failed=1
fi
exit $failed
