#!/usr/bin/env python3
"""Checks a TrueType subset against its source font with fontTools.

Usage: check_subset_font.py SOURCE SUBSET USED_GLYPHS [FACE_INDEX]
USED_GLYPHS is a comma-separated list of glyph indexes; FACE_INDEX picks the face of a collection.

The subset must open with every table decompiling, carry correct table checksums and a correct
whole-file checksum, keep the glyph count and metrics, keep the outline of glyph 0, of every used
glyph and of every component they are built from (at any depth), have empty outlines for every
other glyph, a directory sorted by tag, "post" version 3 and none of the dropped tables. At least
one used glyph must be composite, so the component rule is really exercised. Prints "OK" or the
problems, and exits 1 on problems.
"""
import struct
import sys

from fontTools.ttLib import TTFont

DROPPED = {"EBLC", "EBDT", "hdmx", "VDMX", "DSIG"}


def main():
    source_path, subset_path, used_text = sys.argv[1:4]
    face = int(sys.argv[4]) if len(sys.argv) > 4 else 0
    used = [int(g) for g in used_text.split(",") if g]
    problems = []

    source = TTFont(source_path, fontNumber=face, lazy=False)
    subset = TTFont(subset_path, checkChecksums=2, lazy=False)
    for tag in subset.keys():
        if tag != "GlyphOrder":
            subset[tag]  # decompiles the table; raises on malformed data

    data = open(subset_path, "rb").read()
    if len(data) % 4:
        problems.append("file length is not a multiple of 4")
    total = sum(struct.unpack(">%dI" % (len(data) // 4), data[: len(data) // 4 * 4])) & 0xFFFFFFFF
    if total != 0xB1B0AFBA:
        problems.append("whole-file checksum: sum is %08X" % total)

    num_tables = struct.unpack(">H", data[4:6])[0]
    tags = [data[12 + 16 * i : 16 + 16 * i].decode("latin-1") for i in range(num_tables)]
    if tags != sorted(tags):
        problems.append("directory not sorted by tag: %s" % tags)
    if DROPPED & set(tags):
        problems.append("dropped tables present: %s" % (DROPPED & set(tags)))
    if subset["post"].formatType != 3.0:
        problems.append("post format %s" % subset["post"].formatType)

    src_order, sub_order = source.getGlyphOrder(), subset.getGlyphOrder()
    if len(src_order) != len(sub_order):
        problems.append("glyph count %d != %d" % (len(sub_order), len(src_order)))
    src_glyf, sub_glyf = source["glyf"], subset["glyf"]
    if [source["hmtx"][n] for n in src_order] != [subset["hmtx"][n] for n in sub_order]:
        problems.append("horizontal metrics changed")

    keep = set()
    pending = [0] + [g for g in used if g < len(src_order)]
    composite_used = False
    while pending:
        g = pending.pop()
        if g in keep:
            continue
        keep.add(g)
        glyph = src_glyf[src_order[g]]
        if glyph.isComposite():
            composite_used = composite_used or g in used
            pending.extend(src_order.index(c.glyphName) for c in glyph.components)
    if not composite_used:
        problems.append("no used glyph is composite")

    for g, (src_name, sub_name) in enumerate(zip(src_order, sub_order)):
        src = src_glyf[src_name]
        sub = sub_glyf[sub_name]
        if g in keep:
            if src.compile(src_glyf) != sub.compile(sub_glyf):
                problems.append("glyph %d (%s) outline differs" % (g, src_name))
        elif sub.numberOfContours != 0:
            problems.append("glyph %d (%s) should be empty" % (g, src_name))

    for p in problems[:20]:
        print(p)
    print("OK" if not problems else "%d problems" % len(problems))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
