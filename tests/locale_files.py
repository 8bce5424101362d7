#!/usr/bin/python3
"""Writes every kind of file zeltool writes under C, ru_RU.UTF-8 and
de_DE.UTF-8 and compares them byte for byte: only the dates that follow the
user's locale may differ. Every number in the workbook's XML has a full stop.
A locale that is not installed fails the test: it would fall back to C and
prove nothing."""
import locale
import os
import re
import subprocess
import sys
import tempfile
import zipfile

zeltool, sample = sys.argv[1], sys.argv[2]
LOCALES = ["C", "ru_RU.UTF-8", "de_DE.UTF-8"]
DATE = re.compile(rb"\d{1,4}[./-]\d{1,2}[./-]\d{1,4}")
COMMA_NUMBER = re.compile(rb'="-?\d+,\d+"')
# A column is fitted to its texts: the date column's width follows the dates.
WIDTH = re.compile(rb'width="[^"]*"')
failures = []

for name in LOCALES[1:]:
    try:
        locale.setlocale(locale.LC_ALL, name)
    except locale.Error:
        sys.exit(f"the locale {name} is not installed (scripts/install-deps.sh test generates it)")
locale.setlocale(locale.LC_ALL, "C")

COMMANDS = {
    "t.txt": ["text", sample],
    "solo.xlsx": ["xlsx", "--layout", "zel-solo", sample],
    "terravox.xlsx": ["xlsx", "--layout", "terravox", sample],
    "s.csv": ["export", "--format", "csv", "--spacing", "2.5", "--x0", "-10.25", sample],
    "s.dat": ["export", "--format", "res2dinv", "--spacing", "2.5", sample],
    "s.ohm": ["export", "--format", "ohm", "--spacing", "0.5", sample],
    "seq.txt": ["sequence", "--array", "dipole-dipole", "--electrodes", "24", "--n-max", "4", "--channels", "4"],
}


def contents(path):
    """The file's parts, dates masked; a workbook's XML parts but its time of
    writing, column widths masked too."""
    if not path.endswith(".xlsx"):
        return {"": DATE.sub(b"<date>", open(path, "rb").read())}
    parts = {}
    with zipfile.ZipFile(path) as z:
        for part in z.namelist():
            data = z.read(part)
            for bad in COMMA_NUMBER.findall(data):
                failures.append(f"{path}:{part}: {bad.decode()}")
            if part != "docProps/core.xml":
                parts[part] = WIDTH.sub(b"width", DATE.sub(b"<date>", data))
    return parts


with tempfile.TemporaryDirectory() as d:
    written = {}
    for name in LOCALES:
        env = dict(os.environ, LC_ALL=name, LANG=name)
        out = os.path.join(d, name)
        os.mkdir(out)
        for file, args in COMMANDS.items():
            target = os.path.join(out, file)
            subprocess.run([zeltool] + args + [target], check=True, env=env, cwd=out)
            produced = sorted(f for f in os.listdir(out) if f.startswith(os.path.splitext(file)[0]))
            for f in produced:
                written.setdefault((name, f), contents(os.path.join(out, f)))
    for (name, f), parts in written.items():
        if name != "C" and parts != written.get(("C", f)):
            failures.append(f"{f} differs between C and {name}")

for f in failures:
    print(f)
print(f"{len(COMMANDS) * len(LOCALES) - len(failures)} passed, {len(failures)} failed")
sys.exit(1 if failures else 0)
