#!/usr/bin/python3
"""Writes both workbooks of the sample reading with zeltool and reads them
back with openpyxl, an independent reader: values, value types, fill, fonts,
borders, alignment and selection."""
import subprocess
import sys
import tempfile
import os

import openpyxl

zeltool, sample = sys.argv[1], sys.argv[2]
failures = []


def expect(what, got, want):
    if got != want:
        failures.append(f"{what}: got {got!r}, want {want!r}")


def heading(ws, cell):
    c = ws[cell]
    expect(f"{cell} fill", c.fill.fill_type, "solid")
    expect(f"{cell} colour", c.fill.fgColor.rgb, "FFFFFF00")
    expect(f"{cell} font", (c.font.name, bool(c.font.b), c.font.sz), ("Arial Black", True, 10))
    for side in ("left", "right", "top", "bottom"):
        expect(f"{cell} {side} border", getattr(c.border, side).style, "medium")


with tempfile.TemporaryDirectory() as d:
    books = {}
    for layout in ("zel-solo", "terravox"):
        out = os.path.join(d, layout + ".xlsx")
        subprocess.run([zeltool, "xlsx", "--layout", layout, sample, out], check=True)
        books[layout] = openpyxl.load_workbook(out).active

    solo = books["zel-solo"]
    expect("A1", solo["A1"].value, "ZEL-TERRAVOX MMVII01")
    expect("A3", solo["A3"].value, "05.07.2007 10:11:12")
    expect("row 4", [c.value for c in solo[4]], [None] * 12)
    expect("D5", (solo["D5"].value, solo["D5"].data_type), ("123.45", "s"))
    expect("E5", solo["E5"].value, " 0.007")
    expect("C5 type", solo["C5"].data_type, "s")
    expect("K5", solo["K5"].value, " 05.07.2007 09:08:07")
    expect("D5 font", solo["D5"].font.name, "Ms Sans Serif")
    expect("D5 alignment", solo["D5"].alignment.vertical, "center")
    expect("A5 font", solo["A5"].font.name, "Arial Black")
    expect("A5 bold", bool(solo["A5"].font.b), False)
    expect("row 7", [c.value for c in solo[7]],
           ["File", "Line", "N", "U1 [mV]", "U2 [mV]", "U3 [mV]", "U4 [mV]", "I ", "Auto", "t [s]",
            "  Date  ", "Frequency [Hz]"])
    for col in "ABCDEFGHIJKL":
        heading(solo, f"{col}7")
    expect("D10", solo["D10"].value, "None")
    expect("K17", solo["K17"].value, " 31.12.2099")
    sel = solo.sheet_view.selection[0]
    expect("selection", (sel.activeCell, sel.sqref), ("A18", "A18"))
    expect("width A fitted", solo.column_dimensions["A"].width > 15, True)
    # Empty cells anywhere show the sheet's font: every column carries it.
    beyond = [d for d in solo.column_dimensions.values() if d.min <= 17 <= d.max]
    expect("font of the columns after P", [d.font.name for d in beyond], ["Ms Sans Serif"])
    expect("last formatted column", max(d.max for d in solo.column_dimensions.values()), 16384)

    tv = books["terravox"]
    expect("I5", tv["I5"].value, "Method 2")
    heading(tv, "P5")
    heading(tv, "I9")
    expect("M6", (tv["M6"].value, tv["M6"].data_type), (-2, "n"))
    expect("N8", tv["N8"].value, -256)
    expect("O8", tv["O8"].value, 127)
    expect("D6 type", tv["D6"].data_type, "s")
    sel = tv.sheet_view.selection[0]
    expect("selection", (sel.activeCell, sel.sqref), ("A11", "A11"))

if failures:
    print("\n".join(failures))
    sys.exit(1)
print("workbooks read back as written")
