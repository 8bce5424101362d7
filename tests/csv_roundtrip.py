#!/usr/bin/env python3
"""Writes the survey CSV of a data file with zeltool and reads it back with
Python's csv module, as pandas and spreadsheets would: the header, one row
per value, numbers that parse, ISO times, CRLF line ends, rhoa = k * r."""
import csv
import datetime
import subprocess
import sys
import tempfile

zeltool, data = sys.argv[1], sys.argv[2]
HEADER = ("index,line,file,station,mode,kind,channel,a,b,m,n,xa,xb,xm,xn,u_mV,i_mA,r_ohm,k_m,rhoa_ohmm,"
          "depth_m,freq_Hz,pfe_pct,time,err_pct,flags").split(",")

with tempfile.TemporaryDirectory() as d:
    out = f"{d}/survey.csv"
    subprocess.run([zeltool, "export", "--format", "csv", "--spacing", "2.5", data, out], check=True, cwd=d)
    raw = open(out, "rb").read()
    with open(out, newline="", encoding="utf-8") as f:
        rows = list(csv.reader(f))

failures = []
if raw.count(b"\r\n") != raw.count(b"\n"):
    failures.append("a line does not end in CR LF")
if rows[0] != HEADER:
    failures.append(f"header {rows[0]}")
body = [dict(zip(HEADER, r)) for r in rows[1:]]
if not body or any(len(r) != len(HEADER) for r in rows[1:]):
    failures.append("rows missing or of another width")
with_positions = 0
for row in body:
    for name in HEADER:
        if name in ("time", "flags"):
            continue
        if row[name] and "e" in row[name].lower():
            failures.append(f"exponent in {name}: {row[name]}")
        if row[name]:
            float(row[name])
    datetime.datetime.fromisoformat(row["time"])
    if any(f not in ("zero", "low-signal", "negative", "spike", "error", "wiring", "excluded") for f in filter(None, row["flags"].split("|"))):
        failures.append(f"row {row['index']}: flags {row['flags']}")
    if row["rhoa_ohmm"]:
        with_positions += 1
        k, r, rhoa = float(row["k_m"]), float(row["r_ohm"]), float(row["rhoa_ohmm"])
        if abs(rhoa - k * r) > 1e-5 * max(1.0, abs(rhoa)):
            failures.append(f"row {row['index']}: rhoa {rhoa} is not k*r {k * r}")
        if float(row["xm"]) != 2.5 * int(row["m"]):
            failures.append(f"row {row['index']}: xm {row['xm']} for m {row['m']} at 2.5 m spacing")
if with_positions == 0:
    failures.append("no row with an apparent resistivity")

if failures:
    print("\n".join(failures))
    sys.exit(1)
print(f"{len(body)} rows read back, {with_positions} with an apparent resistivity")
