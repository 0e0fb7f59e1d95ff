#!/usr/bin/env python3
"""Plants realistic faults in the game one at a time and records which tests catch each.

A fault is one exact piece of text in one file and what it becomes; it must
match exactly once. For each fault the script plants it, builds build/faults
incrementally, runs CTest there and puts the file back, whatever happens. A
fault that does not compile is reported as such, never as caught: mend the
list. Run it after changing the tests, to see that they still catch what they
caught before:

    scripts/planted_faults.py                 # every fault, the tests without e2e and package
    scripts/planted_faults.py --all-tests     # the end-to-end and package tests as well
    scripts/planted_faults.py --only keys-z   # one fault (or several)
    scripts/planted_faults.py --list          # the faults, checked against the code, nothing built
    scripts/planted_faults.py --out faults.md # the table into a file as well

Exit status: 0 when every fault compiles and is caught, 1 otherwise.
"""

import argparse
import os
import pathlib
import signal
import subprocess
import sys
import time

ROOT = pathlib.Path(__file__).resolve().parent.parent
BUILD = ROOT / "build" / "faults"


class Fault:
    def __init__(self, name, path, old, new, models):
        self.name, self.path, self.old, self.new, self.models = name, path, old, new, models


def F(name, path, old, new, models):
    return Fault(name, path, old, new, models)


# name, file, exact text, replacement, the mistake it models.
FAULTS = [
    F("level-advanced-height", "game/level.cpp",
      "{99, 30, 16}", "{99, 30, 15}",
      "advanced board one row short"),
]


def run(command, **kwargs):
    return subprocess.run(command, cwd=kwargs.pop("cwd", ROOT), stdout=subprocess.PIPE,
                          stderr=subprocess.STDOUT, text=True, **kwargs)


def check(faults):
    """Every fault must match exactly once; returns the problems."""
    problems = []
    for fault in faults:
        text = (ROOT / fault.path).read_text(encoding="utf-8")
        count = text.count(fault.old)
        if count != 1:
            problems.append(f"{fault.name}: its text occurs {count} times in {fault.path}")
    return problems


def configure():
    if not (BUILD / "build.ninja").exists():
        result = run(["cmake", "-S", str(ROOT), "-B", str(BUILD), "-G", "Ninja",
                      "-DCMAKE_BUILD_TYPE=RelWithDebInfo", "-DPORTEKA_BENCH=OFF"])
        if result.returncode != 0:
            sys.exit("configure failed:\n" + result.stdout)


def build():
    return run(["cmake", "--build", str(BUILD)]).returncode == 0


def failing_tests(all_tests, jobs):
    """Runs CTest; the names of the tests that failed."""
    log = BUILD / "Testing" / "Temporary" / "LastTestsFailed.log"
    if log.exists():
        log.unlink()
    command = ["ctest", "-j", str(jobs), "--timeout", "300"]
    if not all_tests:
        command += ["-LE", "e2e|package"]
    run(command, cwd=BUILD)
    if not log.exists():
        return []
    return sorted(line.split(":", 1)[1] for line in log.read_text().splitlines() if ":" in line)


def plant(fault, all_tests, jobs):
    """Plants the fault, builds, runs the tests, puts the file back."""
    path = ROOT / fault.path
    original = path.read_bytes()
    try:
        path.write_bytes(original.replace(fault.old.encode(), fault.new.encode(), 1))
        if not build():
            return None
        return failing_tests(all_tests, jobs)
    finally:
        # With a new time stamp, so the next build compiles it again.
        path.write_bytes(original)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--only", nargs="+", metavar="NAME", help="plant only these faults")
    parser.add_argument("--all-tests", action="store_true", help="run the end-to-end and package tests too")
    parser.add_argument("--list", action="store_true", help="list the faults and check them against the code")
    parser.add_argument("--out", type=pathlib.Path, help="write the table into this file too")
    parser.add_argument("--jobs", type=int, default=os.cpu_count() or 2, help="tests run at once")
    args = parser.parse_args()

    faults = [f for f in FAULTS if not args.only or f.name in args.only]
    if args.only and len(faults) != len(set(args.only)):
        sys.exit("no such fault: " + ", ".join(set(args.only) - {f.name for f in faults}))
    problems = check(faults)
    if problems:
        sys.exit("\n".join(problems))
    if args.list:
        for fault in faults:
            print(f"{fault.name:32} {fault.path:34} {fault.models}")
        return 0

    # Ctrl+C or a kill ends the run through the finally above, so no fault stays planted.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(130))
    configure()
    if not build():
        sys.exit("the tree does not build without any fault")
    if failing_tests(args.all_tests, args.jobs):
        sys.exit("tests fail without any fault: mend them first")

    rows, caught = [], 0
    for number, fault in enumerate(faults, 1):
        started = time.monotonic()
        failed = plant(fault, args.all_tests, args.jobs)
        if failed is None:
            verdict = "DOES NOT COMPILE"
        elif failed:
            caught += 1
            verdict = ", ".join(failed)
        else:
            verdict = "MISSED"
        print(f"[{number}/{len(faults)}] {fault.name}: {verdict} ({time.monotonic() - started:.0f} s)", flush=True)
        rows.append(f"| {fault.name} | {fault.path} | {fault.models} | {verdict} |")

    table = "\n".join(["| fault | file | models | caught by |", "| --- | --- | --- | --- |", *rows,
                       "", f"{caught} of {len(faults)} faults caught"])
    print("\n" + table)
    if args.out:
        args.out.write_text(table + "\n", encoding="utf-8")
    return 0 if caught == len(faults) else 1


if __name__ == "__main__":
    sys.exit(main())
