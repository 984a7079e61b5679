# Sourced by the acceptance scripts: the Windows programs that match the width
# of the module under test, so that a 32-bit ORVANE.OCX is registered by the
# 32-bit regsvr32, read back through the 32-bit view of the registry and
# driven by the 32-bit script host, as on a 64-bit Windows. A 64-bit prefix
# keeps its 32-bit programs in syswow64.
#   source tests/scripts/lib/module-width.sh "$ocx"
#   "$width_wine" "$regsvr32_exe" /s ...; "$width_wine" "$cscript_exe" ...
#
# `wine` here is scripts/with-wine's: it starts each program with the loader
# of its own width, so a program named in syswow64 runs as a 32-bit one and
# one named in system32 (or by name alone) as a 64-bit one.
module_bits() {
  # "PE32+" is a 64-bit image, "PE32" a 32-bit one.
  case "$(file -b "$1" 2>/dev/null)" in
    PE32+*) echo 64 ;;
    PE32*) echo 32 ;;
    *) echo unknown ;;
  esac
}

module_width=$(module_bits "$1")
width_wine=wine
case "$module_width" in
  64) system_dir='C:\windows\system32' ;;
  32) system_dir='C:\windows\syswow64' ;;
  *) echo "$1 is not a Windows module" >&2; return 1 ;;
esac
regsvr32_exe="$system_dir\\regsvr32.exe"
cscript_exe="$system_dir\\cscript.exe"
reg_exe="$system_dir\\reg.exe"
# The registry view of the module's width, under which its type library is
# registered (TypeLib\{libid}\1.0\409\win32 or win64).
typelib_platform="win$module_width"
