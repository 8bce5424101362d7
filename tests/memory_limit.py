#!/usr/bin/env python3
"""zeltool invert under an address-space limit, as on a laptop with little
memory: a line that needs more than the limit leaves is refused with both
figures and exit 1; under every limit tried the program ends with a status
of its own, never by a signal, and writes nothing it did not finish."""
import math
import os
import random
import resource
import subprocess
import sys
import tempfile

zeltool = sys.argv[1]


def ohm(electrodes):
    """A dipole-dipole line (a = 1, n = 1-6) over a half-space, 3 % noise."""
    rng = random.Random(1)
    data = []
    for n in range(1, 7):
        for i in range(electrodes - n - 2):
            a, b, m, nn = i, i + 1, i + 1 + n, i + 2 + n
            k = 2 * math.pi / (1 / abs(a - m) - 1 / abs(b - m) - 1 / abs(a - nn) + 1 / abs(b - nn))
            data.append(f"{a + 1} {b + 1} {m + 1} {nn + 1} {100 * (1 + rng.gauss(0, 0.03)):.4f} 0.03")
    return (f"{electrodes}\n# x z\n" + "".join(f"{e} 0\n" for e in range(electrodes))
            + f"{len(data)}\n# a b m n rhoa err\n" + "\n".join(data) + "\n")


def invert(folder, electrodes, limit_mb):
    source = os.path.join(folder, f"line{electrodes}.ohm")
    if not os.path.exists(source):
        open(source, "w").write(ohm(electrodes))
    target = os.path.join(folder, f"out{electrodes}-{limit_mb}")
    limit = limit_mb * 1024 * 1024

    def limited():
        resource.setrlimit(resource.RLIMIT_AS, (limit, limit))

    run = subprocess.run([zeltool, "invert", "--max-iterations", "1", source, target], preexec_fn=limited,
                         capture_output=True, text=True, env=dict(os.environ, LANG="C.UTF-8", LC_ALL="C.UTF-8"))
    written = [f for f in os.listdir(folder) if f.startswith(os.path.basename(target))]
    return run, written


failures = []
with tempfile.TemporaryDirectory() as folder:
    # 400 electrodes need about 0.7 GB: refused under 450 MB of address
    # space, inverted under 1.2 GB.
    run, written = invert(folder, 400, 450)
    if run.returncode != 1 or "needs about" not in run.stderr or "are free" not in run.stderr:
        failures.append(f"400 electrodes under 450 MB: status {run.returncode}, stderr {run.stderr!r}")
    if written:
        failures.append(f"400 electrodes under 450 MB wrote {written}")
    run, written = invert(folder, 400, 1200)
    if run.returncode != 0 or len(written) != 5:
        failures.append(f"400 electrodes under 1.2 GB: status {run.returncode}, wrote {written}, stderr {run.stderr[-300:]!r}")
    # 128 electrodes need about 180 MB: under limits around what the program
    # itself maps and that, it inverts or refuses, never dies.
    for limit_mb in (150, 200, 250, 300, 400):
        run, written = invert(folder, 128, limit_mb)
        if run.returncode < 0:
            failures.append(f"128 electrodes under {limit_mb} MB: ended by signal {-run.returncode}: {run.stderr[-300:]!r}")
        elif run.returncode == 1 and "memory" not in run.stderr and "are free" not in run.stderr:
            failures.append(f"128 electrodes under {limit_mb} MB: {run.stderr[-300:]!r}")
        elif run.returncode == 0 and len(written) != 5:
            failures.append(f"128 electrodes under {limit_mb} MB: wrote {written}")

for f in failures:
    print("FAIL:", f)
print(f"{0 if failures else 1} passed, {len(failures)} failed")
sys.exit(1 if failures else 0)
