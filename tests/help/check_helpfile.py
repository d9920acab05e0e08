#!/usr/bin/env python3
"""Reads a compiled help file back as the Windows viewer does: its title and its contents
must be Russian in the code page of the language the file declares.

    check_helpfile.py Help-T.chm help/merilon.hhc

Uses extract_chmLib (Debian's libchm-bin), not a viewer."""
import re
import struct
import subprocess
import sys
import tempfile
from pathlib import Path

CODE_PAGES = {0x0419: "cp1251"}


def fail(message):
    print(f"check_helpfile: {message}", file=sys.stderr)
    sys.exit(1)


def system_entries(data):
    """The #SYSTEM file: a version, then (code, length, bytes) entries."""
    entries, pos = {}, 4
    while pos + 4 <= len(data):
        code, length = struct.unpack_from("<HH", data, pos)
        entries[code] = data[pos + 4:pos + 4 + length]
        pos += 4 + length
    return entries


def main():
    chm, source_hhc = Path(sys.argv[1]), Path(sys.argv[2])
    with tempfile.TemporaryDirectory() as out:
        subprocess.run(["extract_chmLib", str(chm), out], check=True, stdout=subprocess.DEVNULL)
        system = system_entries((Path(out) / "#SYSTEM").read_bytes())
        lcid = struct.unpack_from("<I", system.get(4, b"\0\0\0\0"))[0]
        if lcid not in CODE_PAGES:
            fail(f"the file declares language {lcid:#x}, not Russian")
        code_page = CODE_PAGES[lcid]
        title = system.get(3, b"").rstrip(b"\0")
        try:
            shown = title.decode(code_page)
        except UnicodeDecodeError:
            fail(f"the title {title!r} is not in {code_page}")
        if shown != "Мерилон: справка":
            fail(f"the viewer shows the title as {shown!r}")

        contents = (Path(out) / "merilon.hhc").read_bytes()
        try:
            text = contents.decode(code_page)
        except UnicodeDecodeError:
            fail(f"the contents are not in {code_page}")
        if 'charset="windows-1251"' not in text:
            fail("the contents declare another charset than they are written in")
        wanted = re.findall(r'name="Name" value="([^"]+)"',
                            source_hhc.read_text(encoding="utf-8"))
        shown_entries = re.findall(r'name="Name" value="([^"]+)"', text)
        if not wanted or shown_entries != wanted:
            fail(f"the contents show {shown_entries}, not {wanted}")
        # The pages keep the UTF-8 they declare.
        for page in Path(out).glob("*.html"):
            html = page.read_bytes().decode("utf-8")
            if 'charset="utf-8"' not in html:
                fail(f"{page.name} does not declare its UTF-8")
    print(f"check_helpfile: title and {len(wanted)} contents entries read as Russian")


main()
