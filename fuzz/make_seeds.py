#!/usr/bin/env python3
"""Seeds for the fuzz targets whose inputs are framed (a length, then bytes),
made from the sample library's TOC files as the TOC writer built them.

    fuzz/make_seeds.py SAMPLES_DIR CORPUS_DIR

Each framed piece is a 16-bit little-endian length followed by that many
bytes, as fuzz/fuzz_input.h's TakeBytes reads them.
"""
import pathlib
import struct
import sys


def framed(data: bytes, limit: int) -> bytes:
    data = data[:limit]
    return struct.pack("<H", len(data)) + data


def main() -> int:
    samples = pathlib.Path(sys.argv[1])
    corpus = pathlib.Path(sys.argv[2])
    tocs = sorted(p for p in samples.iterdir() if p.suffix.upper() == ".TOC")
    if not tocs:
        return 0

    # section_queries: one book's file, then (book, position, exact) triples;
    # book byte 2 names book 1, and positions 10 and beyond walk its records.
    out = corpus / "section_queries"
    out.mkdir(parents=True, exist_ok=True)
    for toc in tocs:
        data = toc.read_bytes()
        queries = b"".join(struct.pack("<BiB", 2, pos, 1) for pos in (0, 10, 31, 52, 73, 94, 115, 136))
        (out / f"seed-{toc.stem.lower()}").write_bytes(framed(data, 4096) + queries)

    # catalogue: a catalogue naming two books in "lib", then their files.
    out = corpus / "catalogue"
    out.mkdir(parents=True, exist_ok=True)
    catalogue = (
        "[Directories]\r\nTOC=lib\r\n[Books]\r\nCount=2\r\n[Categories]\r\nCount=1\r\n"
        "Name1=\xc7\xe1\xdd\xe2\xe5\r\n[Category1]\r\nCount=2\r\nTitle1=A\r\nName1=a\r\n"
        "Title2=B\r\nName2=b\r\n"
    ).encode("latin-1")
    for first, second in zip(tocs, tocs[1:] + tocs[:1]):
        seed = framed(catalogue, 4096) + framed(first.read_bytes(), 2048)
        seed += framed(second.read_bytes(), 2048) + bytes(16)
        (out / f"seed-{first.stem.lower()}").write_bytes(seed)
    return 0


if __name__ == "__main__":
    sys.exit(main())
