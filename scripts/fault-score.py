#!/usr/bin/env python3
"""Measures the test suite by the faults it catches.

Each entry of a fault list (scripts/faults.json) is a one-line slip of the
kind a developer really makes: a comparison flipped, a call dropped, an
off-by-one, an answer inverted. The script applies one fault at a time to the
working tree, rebuilds, runs CTest and restores the file, then reports which
tests caught each fault and the score.

A fault names the tree it lives in ("src" or "unlha32"), the file name it is
meant for and the exact text it changes. The file is found by that text, so
the list survives files moving between folders; where the text stands in
several files, the one with the named file name is taken.

Usage: scripts/fault-score.py [--build DIR] [--faults FILE] [--only N,...]
A tool for developers: slow (one rebuild per fault), never part of CI.
"""

import argparse
import json
import os
import re
import shutil
import subprocess
import sys
import time

TOP = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def configure(build):
    if os.path.exists(os.path.join(build, "build.ninja")):
        return
    # Light optimisation and no benches: one rebuild per fault adds up.
    flags = ["-DCMAKE_BUILD_TYPE=Release", "-DCMAKE_CXX_FLAGS_RELEASE=-O1", "-DTIDEWELL_BUILD_BENCH=OFF"]
    if shutil.which("ccache"):
        flags.append("-DCMAKE_CXX_COMPILER_LAUNCHER=ccache")
    if shutil.which("ld.lld"):
        flags += ["-DCMAKE_EXE_LINKER_FLAGS=-fuse-ld=lld", "-DCMAKE_SHARED_LINKER_FLAGS=-fuse-ld=lld"]
    subprocess.run(["cmake", "-S", TOP, "-B", build, "-G", "Ninja", *flags], check=True,
                   stdout=subprocess.DEVNULL)


def build_ok(build):
    r = subprocess.run(["cmake", "--build", build, "-j", str(os.cpu_count() or 2)],
                       stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
    return r.returncode == 0


def failing_tests(build):
    r = subprocess.run(["ctest", "--test-dir", build, "-j", str(os.cpu_count() or 2),
                        "--timeout", "120", "--output-on-failure"], stdout=subprocess.PIPE,
                       stderr=subprocess.STDOUT, text=True, errors="replace")
    failed = re.findall(r"^\s*\d+ - (\S+) \(", r.stdout.split("tests FAILED:")[-1], re.M)
    if r.returncode != 0 and not failed:
        failed = ["(ctest failed)"]
    # The test functions that failed, so that a check that is the only catcher of a fault
    # can be told from one that several checks share.
    functions = sorted(set(re.findall(r"^FAIL!\s*:\s*(\S+?::\w+)", r.stdout, re.M)))
    return failed, functions


def locate(fault):
    """The one file of the fault's tree that holds its text, or None."""
    found = []
    for folder, _, names in os.walk(os.path.join(TOP, fault["root"])):
        for name in names:
            path = os.path.join(folder, name)
            if not name.endswith((".cpp", ".h")):
                continue
            with open(path, encoding="utf-8", errors="replace") as f:
                count = f.read().count(fault["old"])
            if count:
                found.append((path, count))
    named = [f for f in found if os.path.basename(f[0]) == fault["file"]]
    pick = named if len(found) > 1 else found
    if len(pick) != 1 or pick[0][1] != 1:
        return None
    return pick[0][0]


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--build", default=os.path.join(TOP, "build-faults"))
    ap.add_argument("--faults", default=os.path.join(TOP, "scripts", "faults.json"))
    ap.add_argument("--only", default="", help="comma-separated fault numbers (1-based)")
    args = ap.parse_args()
    with open(args.faults, encoding="utf-8") as f:
        faults = json.load(f)
    only = {int(n) for n in args.only.split(",") if n}

    configure(args.build)
    if not build_ok(args.build) or failing_tests(args.build)[0]:
        sys.exit("the clean tree does not build and pass its tests; nothing measured")

    caught = applied = 0
    for number, fault in enumerate(faults, 1):
        if only and number not in only:
            continue
        label = f"{number:2d} {fault['file']}: {fault['old'].strip()[:50]!r}"
        path = locate(fault)
        if path is None:
            print(f"{label}: not applicable (text not found once)", flush=True)
            continue
        with open(path, encoding="utf-8") as f:
            original = f.read()
        started = time.time()
        try:
            with open(path, "w", encoding="utf-8") as f:
                f.write(original.replace(fault["old"], fault["new"], 1))
            if not build_ok(args.build):
                print(f"{label}: does not compile (not counted)", flush=True)
                continue
            applied += 1
            failed, functions = failing_tests(args.build)
        finally:
            with open(path, "w", encoding="utf-8") as f:
                f.write(original)
        caught += 1 if failed else 0
        verdict = "caught by " + ", ".join(failed) if failed else "SURVIVED"
        if functions:
            verdict += " [" + " ".join(functions) + "]"
        print(f"{label}: {verdict} ({time.time() - started:.0f} s)", flush=True)
    build_ok(args.build)
    print(f"score: {caught} of {applied} faults caught")


if __name__ == "__main__":
    main()
