#!/usr/bin/env python3
"""Writes the profile files that the profile-reading tests run against.

Each file exercises a group of the system's profile rules; queries.txt lists
what is asked of them. Byte-exact content (CR, NUL, byte-order marks, bytes
in Windows-1256) is why they are generated rather than edited by hand.
Run from this directory: python3 make_ini_files.py
"""


def write(name, data):
    with open(name, "wb") as f:
        f.write(data)


def cp1256(text):
    return text.encode("cp1256")


# Names, blanks, comments, quotes, duplicates and section headers.
write("basic.ini", b"\r\n".join([
    b"top=before any section",
    b"[Books]",
    b"Count = 12 ",
    b"  Name1=  hello world  ",
    b"Empty=",
    b"NoEq",
    b"NoEqThenEq",
    b"NoEqThenEq=second",
    b";Comment=c1",
    b"; spaced = c2",
    b"#Hash=h1",
    b"Dup=first",
    b"dup=second",
    b"Q1=\"quoted\"",
    b"Q2='single'",
    b"Q3=\"mismatch'",
    b"Q4=\"",
    b"Q5=\"\"",
    b"Q6=\" inner \"",
    b"Q7= \"lead",
    b"Q8=a\"b\"",
    b"Q9=\"x\" y",
    b"Q10=''",
    b"Q11=\"'\"",
    b"A B = spaced key",
    b"Eq=a=b",
    b"=noname",
    b"=second noname",
    b"Tab\t=\ttabbed\t",
    b"[ Spaced ]",
    b"k=spaced section",
    b"[Junk] trailing",
    b"k=junk",
    b"[Two]x]",
    b"k=two",
    b"[NoClose",
    b"k=noclose",
    b"[books]",
    b"Count=later",
    b"OnlyLater=yes",
    b"[]",
    b"k=empty section",
    b"[  ]",
    b"k=blank section",
    b"[ In ner ]",
    b"k=inner",
    b"[\tTabbed\t]",
    b"k=tabbed",
    b"[Last]",
    b"k=last",
    b"",
]))

# Line ends and odd bytes: CR alone, LF alone, NUL, ^Z, form feed, vertical tab,
# no-break space, upper-half bytes and their case.
write("lines.ini",
      b"[CR]\rk1=v1\rk2=v2\r"
      b"[LF]\nk1=v1\nA\rB=crsplit\nC=one\rD=two\n"
      b"[Bytes]\r\n"
      b"N\x00ul=nul in name\r\n"
      b"V=ab\x00cd\r\n"
      b"W=ab \x00cd\r\n"
      b"q=\"\x00\"\r\n"
      b"Z\x1a=ctrl z\x1a\r\n"
      b"F\x0c=form feed\x0b\r\n"
      b"\xa0X\xa0=nbsp\xa0\r\n"
      b"K\x8c=upper oe\r\n"
      b"K\xe9=e acute\r\n"
      + cp1256("\u0627\u0633\u0645=\u0642\u064a\u0645\u0629 \u0639\u0631\u0628\u064a\u0629\r\n")
      + b"High=" + bytes(range(0x80, 0x100)) + b"\r\n"
      b"Low=" + bytes(range(0x01, 0x20)).replace(b"\r", b"").replace(b"\n", b"") + b"!\r\n"
      b"[A \x00B]\r\nk=nul in section\r\n"
      b"[ C\x00 ]\r\nk=nul before blank\r\n"
      b"[Eof]\r\nlast=no line end")

# Values and defaults near the 255-byte limit.
write("long.ini", b"\r\n".join([
    b"[S]",
    b"L1=" + b"a" * 300,
    b"L2=\"" + b"b" * 254 + b"\"",
    b"L3=\"" + b"b" * 255 + b"\"",
    b"L4=\"" + b"b" * 256 + b"\"",
    b"L5=\"" + b"b" * 300,
    b"L6=  " + b"c" * 255 + b"   ",
    b"L7=" + b"d" * 256,
    b"L8='" + b"e" * 253 + b"'",
    b"L9=" + b"f" * 255,
    b"L10=" + cp1256("\u0628") * 300,
    b"",
]))

# UTF-8 with a byte-order mark: Arabic, best fits, characters with no byte,
# full-width look-alikes of names and of "=", and malformed sequences.
utf8 = "\ufeff[S]\r\n" \
    "k=\u0628\u0633\u0645 \uff21\u00c0\u0661\u0662\U0001F600\u4e2d\ufe8d\ufef7\r\n" \
    "\uff2e=full width N\r\n" \
    "N=plain N\r\n" \
    "x\uff1dy=full width equals\r\n" \
    "\u00c9t\u00e9=accented name\r\n" \
    "\u0627\u0633\u0645=\u0642\u064a\u0645\u0629\r\n" \
    "sp\u3000=ideographic space\r\n" \
    "[\uff33]\r\nk=full width section\r\n"
write("utf8.ini", utf8.encode("utf-8") +
      b"[Bad]\r\n"
      b"k=\xc0\x80|\xe0\x80\x80|\xed\xa0\x80|\xf4\x90\x80\x80|\xf5\x80\x80\x80|"
      b"\xf0\x80\x80\x80|\xe0\x9f\x80|\xed\x9f\xbf|\xf4\x8f\xbf\xbf|\xe2\x82\r\n"
      b"k2=\xf0\x9f\r\n"
      b"k3=\xff\xfe|\xc2\xc2\xa9|\x80\x80\r\n"
      b"k4=\xe0\x80")

utf16 = "[S]\r\nk=\u0628\u0633\u0645 \u00e9x\r\nK2 = \" q \" \r\n" \
    "\u0627\u0633\u0645=\u0642\u064a\u0645\u0629\r\n"
write("utf16le.ini", b"\xff\xfe" + utf16.encode("utf-16-le"))
write("utf16be.ini", b"\xfe\xff" + utf16.encode("utf-16-be"))
write("utf16odd.ini", b"\xff\xfe" + utf16.encode("utf-16-le") + b"A")
write("utf16nobom.ini", utf16.encode("utf-16-le"))
write("bomonly.ini", b"\xef\xbb\xbf")
write("empty.ini", b"")

# A catalogue as the control reads it, Arabic titles in Windows-1256.
write("catalogue.ini", cp1256("\r\n".join([
    "; \u0641\u0647\u0631\u0633 \u0627\u0644\u0643\u062a\u0628",
    "[Directories]",
    "TOC=C:\\Books\\Toc",
    "[Books]",
    "Count=5",
    "[Categories]",
    "Count=2",
    "Name1=\u0627\u0644\u062a\u0641\u0633\u064a\u0631",
    "Name2=\u0627\u0644\u062d\u062f\u064a\u062b",
    "[Category1]",
    "Count=3",
    "Title1=\u062a\u0641\u0633\u064a\u0631 \u0627\u0644\u0637\u0628\u0631\u064a",
    "Name1=TABARI",
    "Title2=\u062a\u0641\u0633\u064a\u0631 \u0627\u0628\u0646 \u0643\u062b\u064a\u0631",
    "Name2=IBNKATHIR",
    "Title3=  \"\u0627\u0644\u0642\u0631\u0637\u0628\u064a\"  ",
    "Name3=qurtubi",
    "[CATEGORY2]",
    "count = 2",
    "title1=\u0635\u062d\u064a\u062d \u0627\u0644\u0628\u062e\u0627\u0631\u064a",
    "name1=BUKHARI",
    "Title2=",
    "Name2=MUSLIM",
    "",
])))
