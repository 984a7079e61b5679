#!/usr/bin/env python3
"""Checks Windows modules without running them, for machines that cannot run
them (a kernel without 32-bit emulation runs no 32-bit program):

  check-pe.py machine WIDTH FILE...         each file is a PE image of that width
  check-pe.py exports FILE DEF [PEER]       FILE exports what DEF lists (and
                                            exactly what PEER, the other width, does)
  check-pe.py imports DLLDIR FILE...        every DLL and function each FILE imports
                                            is exported by a DLL in DLLDIR, or by a
                                            module built beside FILE

Prints one line per problem and exits 1 when there is any."""
import os
import struct
import sys

MACHINES = {0x14C: 32, 0x8664: 64}


class Image:
    """The headers, sections, exports and imports of one PE file."""

    def __init__(self, path):
        with open(path, "rb") as f:
            self.data = f.read()
        d = self.data
        if len(d) < 0x40 or d[:2] != b"MZ":
            raise ValueError("not an MZ image")
        (pe,) = struct.unpack_from("<I", d, 0x3C)
        if pe + 24 > len(d) or d[pe:pe + 4] != b"PE\0\0":
            raise ValueError("no PE header")
        self.machine, nsections = struct.unpack_from("<HH", d, pe + 4)
        (optsize,) = struct.unpack_from("<H", d, pe + 20)
        opt = pe + 24
        (magic,) = struct.unpack_from("<H", d, opt)
        dirs = opt + (96 if magic == 0x10B else 112)
        (ndirs,) = struct.unpack_from("<I", d, dirs - 4)
        self.dirs = [struct.unpack_from("<II", d, dirs + 8 * i) for i in range(min(ndirs, 16))]
        self.pe32plus = magic == 0x20B
        self.sections = []
        for i in range(nsections):
            s = opt + optsize + 40 * i
            vsize, va, rawsize, raw = struct.unpack_from("<IIII", d, s + 8)
            self.sections.append((va, max(vsize, rawsize), raw, rawsize))

    def offset(self, rva):
        for va, size, raw, rawsize in self.sections:
            if va <= rva < va + size and rva - va < rawsize:
                return raw + rva - va
        raise ValueError("RVA %#x outside the file" % rva)

    def cstring(self, rva):
        o = self.offset(rva)
        end = self.data.index(b"\0", o)
        return self.data[o:end].decode("latin-1")

    def exports(self):
        if len(self.dirs) < 1 or self.dirs[0][0] == 0:
            return set()
        o = self.offset(self.dirs[0][0])
        # IMAGE_EXPORT_DIRECTORY: NumberOfNames at 24, AddressOfNames at 32.
        (nnames,) = struct.unpack_from("<I", self.data, o + 24)
        (names,) = struct.unpack_from("<I", self.data, o + 32)
        return {self.cstring(struct.unpack_from("<I", self.data, self.offset(names) + 4 * i)[0])
                for i in range(nnames)}

    def imports(self):
        """{dll name (lower case): set of names, or '#ordinal'}"""
        result = {}
        if len(self.dirs) < 2 or self.dirs[1][0] == 0:
            return result
        o = self.offset(self.dirs[1][0])
        step, flag = (8, 1 << 63) if self.pe32plus else (4, 1 << 31)
        fmt = "<Q" if self.pe32plus else "<I"
        for _ in range(4096):  # a directory longer than this is not a real one
            lookup, _, _, name, thunks = struct.unpack_from("<IIIII", self.data, o)
            if name == 0:
                break
            dll = self.cstring(name).lower()
            t = self.offset(lookup or thunks)
            names = result.setdefault(dll, set())
            for _ in range(65536):
                (entry,) = struct.unpack_from(fmt, self.data, t)
                if entry == 0:
                    break
                names.add("#%d" % (entry & 0xFFFF) if entry & flag else self.cstring((entry & 0x7FFFFFFF) + 2))
                t += step
            o += 20
        return result


def def_exports(path):
    names, in_exports = set(), False
    for line in open(path, encoding="utf-8"):
        line = line.split(";")[0].strip()
        if not line:
            continue
        word = line.split()[0]
        if word.upper() in ("EXPORTS",):
            in_exports = True
            continue
        if word.upper() in ("LIBRARY", "NAME", "SECTIONS", "HEAPSIZE", "STACKSIZE", "VERSION"):
            in_exports = False
            continue
        if in_exports:
            names.add(word.split("=")[0].split("@")[0])
    return names


def main(argv):
    problems = []
    if len(argv) < 2:
        print(__doc__)
        return 2
    verb = argv[1]
    if verb == "machine":
        width = int(argv[2])
        for f in argv[3:]:
            try:
                got = MACHINES.get(Image(f).machine, "unknown (%#x)" % Image(f).machine)
            except (OSError, ValueError) as e:
                problems.append("%s: %s" % (f, e))
                continue
            if got != width:
                problems.append("%s: a %s-bit image, expected %d-bit" % (f, got, width))
        print("machine: %d files checked as %d-bit" % (len(argv) - 3, width))
    elif verb == "exports":
        got = Image(argv[2]).exports()
        want = def_exports(argv[3])
        for name in sorted(want - got):
            problems.append("%s: does not export %s (listed in %s)" % (argv[2], name, argv[3]))
        for name in sorted(got - want):
            problems.append("%s: exports %s, which %s does not list" % (argv[2], name, argv[3]))
        if len(argv) > 4:
            peer = Image(argv[4]).exports()
            if peer != got:
                problems.append("%s and %s export different names: %s" % (argv[2], argv[4], sorted(peer ^ got)))
        print("exports: %s: %d names" % (os.path.basename(argv[2]), len(got)))
    elif verb == "imports":
        dlldir = argv[2]
        available = {}

        def exports_of(dll, beside):
            if dll not in available:
                path = None
                for folder in (beside, dlldir):
                    for name in os.listdir(folder):
                        if name.lower() == dll:
                            path = os.path.join(folder, name)
                            break
                    if path:
                        break
                available[dll] = Image(path).exports() if path else None
            return available[dll]

        count = 0
        for f in argv[3:]:
            for dll, names in sorted(Image(f).imports().items()):
                exported = exports_of(dll, os.path.dirname(f))
                if exported is None:
                    problems.append("%s: imports %s, which the 32-bit DLL set lacks" % (f, dll))
                    continue
                for name in sorted(names):
                    count += 1
                    if not name.startswith("#") and name not in exported:
                        problems.append("%s: imports %s!%s, which %s does not export" % (f, dll, name, dll))
        print("imports: %d functions of %d files found" % (count, len(argv) - 3))
    else:
        print(__doc__)
        return 2
    for p in problems:
        print("  " + p)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
