#!/usr/bin/python3
"""The workbook a user would write with openpyxl instead: the same cells,
values, fonts, fills, borders, widths and selection, read from a cell list.
Prints the milliseconds spent making and saving the workbook, and peak KiB."""
import resource
import sys
import time

from openpyxl import Workbook
from openpyxl.styles import Alignment, Border, Font, PatternFill, Side
from openpyxl.utils import get_column_letter

cells_path, out = sys.argv[1], sys.argv[2]
styles, cells, widths = [], [], {}
with open(cells_path, encoding="utf-8") as f:
    for line in f:
        parts = line.rstrip("\n").split("\t")
        if parts[0] == "S":
            styles.append(parts[1:])
        elif parts[0] == "C":
            cells.append(parts[1:])
        elif parts[0] == "W":
            widths[int(parts[1])] = float(parts[2])

start = time.perf_counter()
medium = Side(style="medium")
looks = []
for name, bold, size, fill, border in styles:
    looks.append((
        Font(name=name, b=bold == "1", sz=int(size) if size != "0" else 11),
        PatternFill("solid", fgColor="FFFF00") if fill == "1" else PatternFill(),
        Border(left=medium, right=medium, top=medium, bottom=medium) if border == "1" else Border(),
    ))
centre = Alignment(vertical="center")
wb = Workbook()
ws = wb.active
for row, col, kind, style, value in cells:
    c = ws.cell(row=int(row), column=int(col))
    if kind == "t":
        c.value = value
    elif kind == "n":
        c.value = int(value)
    font, fill, border = looks[int(style)]
    c.font, c.fill, c.border, c.alignment = font, fill, border, centre
for col, width in widths.items():
    if width > 0:
        ws.column_dimensions[get_column_letter(col)].width = width
wb.save(out)
elapsed = (time.perf_counter() - start) * 1000
print(f"{elapsed:.1f} {resource.getrusage(resource.RUSAGE_SELF).ru_maxrss}")
