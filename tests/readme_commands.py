#!/usr/bin/env python3
"""Runs the command blocks of README.md as a reader would type them.

Every indented block that runs zeltool or the simulated station is run by
bash (set -e, pipefail) in a fresh folder, with `build/` pointing at the
built programs and `zeltool` and `zel-station-sim` on PATH. A block fails
when a command exits non-zero, or when a command of zeltool or the simulator
writes none of the files it names. A block that needs what a test machine
has not (a station, hosts, a scheduler) or that only shows a usage is marked
just above it in the README:

    <!-- readme-commands: not run (why) -->

and is listed as skipped with its reason.
"""
import os
import re
import shlex
import subprocess
import sys
import tempfile

MARK = re.compile(r"<!--\s*readme-commands:\s*not run \((.+)\)\s*-->")
PROGRAMS = ("zeltool", "zel-station-sim")


def blocks(lines):
    """(first line number, the block's text, the reason it is not run or None)."""
    out, i = [], 0
    while i < len(lines):
        if lines[i].startswith("    ") and (i == 0 or lines[i - 1].strip() == ""):
            start, body = i, []
            while i < len(lines) and (lines[i].startswith("    ") or lines[i].strip() == ""):
                body.append(lines[i][4:])
                i += 1
            reason = None
            for back in (start - 1, start - 2):
                if back >= 0 and MARK.search(lines[back]):
                    reason = MARK.search(lines[back]).group(1)
            text = "\n".join(body).rstrip() + "\n"
            if any(p in text for p in PROGRAMS):
                out.append((start + 1, text, reason))
            continue
        i += 1
    return out


def commands(text):
    """The block's logical lines that run zeltool or the simulator."""
    joined = re.sub(r"\\\n", " ", text)
    return [l.strip() for l in joined.split("\n") if any(p in l for p in PROGRAMS) and not l.strip().startswith("#")]


def named_files(command):
    """What a command names that may be a file it writes: its arguments that
    are not options, nor the values of options that take one."""
    try:
        words = shlex.split(command.split("#", 1)[0])
    except ValueError:
        return []
    names = []
    for w in words:
        if w.startswith("-") or "/" in w and w.startswith("build/") or w in PROGRAMS or w.endswith(PROGRAMS):
            continue
        if w in ("&", "|", ">", ";"):
            continue
        names.append(w)
    return names


def snapshot(folder):
    seen = {}
    for root, _, files in os.walk(folder):
        for f in files:
            p = os.path.join(root, f)
            try:
                seen[os.path.relpath(p, folder)] = os.stat(p).st_mtime_ns
            except OSError:
                pass
    return seen


def written(before, after, name):
    """Whether `name`, or a file named after it (name-model.csv, name/...), is new or changed."""
    name = os.path.normpath(name)
    for path, stamp in after.items():
        if path == name or path.startswith(name + "-") or path.startswith(name + ".") or path.startswith(name + os.sep):
            if before.get(path) != stamp:
                return True
    return False


def main():
    readme, build = sys.argv[1], os.path.abspath(sys.argv[2])
    lines = open(readme, encoding="utf-8").read().split("\n")
    failures, ran = [], 0
    for number, text, reason in blocks(lines):
        if reason:
            print(f"README.md:{number}: not run ({reason})")
            continue
        with tempfile.TemporaryDirectory(prefix="readme-") as work:
            os.symlink(build, os.path.join(work, "build"))
            bin_dir = os.path.join(work, ".bin")
            os.mkdir(bin_dir)
            os.symlink(os.path.join(build, "tools/zeltool/zeltool"), os.path.join(bin_dir, "zeltool"))
            os.symlink(os.path.join(build, "sim/zel-station-sim"), os.path.join(bin_dir, "zel-station-sim"))
            env = dict(os.environ, PATH=bin_dir + os.pathsep + os.environ.get("PATH", ""))
            env.pop("DISPLAY", None)
            steps = commands(text)
            before = snapshot(work)
            # Each command alone, in order, so that each is checked for its own files.
            script = "set -e -o pipefail\n" + text
            run = subprocess.run(["bash", "-c", script], cwd=work, env=env, capture_output=True, text=True, timeout=600)
            after = snapshot(work)
            ran += 1
            if run.returncode != 0:
                failures.append(f"README.md:{number}: exit {run.returncode}\n{text}{run.stderr[-2000:]}")
                continue
            for step in steps:
                names = named_files(step)
                if names and not any(written(before, after, n) for n in names):
                    failures.append(f"README.md:{number}: `{step}` wrote none of {names}")
            print(f"README.md:{number}: ran {len(steps)} command(s)")
    if ran == 0:
        failures.append("no README block was run")
    for f in failures:
        print("FAILED " + f, file=sys.stderr)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
