#!/usr/bin/env python3
"""Measures how many small faults the tests notice.

Each fault of faults.txt is applied alone to a copy of the sources in build/mutate/src, the 64-bit
build there is brought up to date, and the fault's test programs run under Wine. A fault is killed
when a test fails, survives when all pass; one that does not build is reported and not scored.
Prints the survivors and the score.

  mutate.py [--faults FILE] [--only ID,ID] [--rev REVISION] [--check]

--rev takes the sources of a commit rather than the working tree: the score of an earlier suite
against the same faults. --check only checks that every fault still applies to the sources.
"""
import argparse
import os
import re
import shutil
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
WORK = os.path.join(ROOT, "build", "mutate")
SRC = os.path.join(WORK, "src")
BUILD = os.path.join(WORK, "x64")
# A test program that runs longer than this has hung on the fault: killed.
TEST_TIMEOUT = 600


class Fault:
    def __init__(self, ident, path, tests):
        self.ident, self.path, self.tests, self.edits = ident, path, tests, []


def parse(text):
    faults, fault = [], None
    for number, line in enumerate(text.splitlines(), 1):
        if line.startswith("#") or not line.strip():
            continue
        header = re.match(r"\[([\w-]+)\]\s+(\S+)\s*\|\s*(.+)$", line)
        if header:
            fault = Fault(header.group(1), header.group(2), header.group(3).split())
            faults.append(fault)
        elif fault and line.startswith("- "):
            fault.edits.append([line[2:].rstrip(), None])
        elif fault and line.startswith("+") and fault.edits and fault.edits[-1][1] is None:
            fault.edits[-1][1] = line[2:].rstrip() if line.startswith("+ ") else ""
        else:
            sys.exit(f"faults line {number}: cannot read {line!r}")
    return faults


def run(command, **options):
    return subprocess.run(command, cwd=ROOT, **options)


def copy_sources(rev=None):
    origin = ROOT
    if rev:
        origin = os.path.join(WORK, "rev")
        shutil.rmtree(origin, ignore_errors=True)
        os.makedirs(origin)
        archive = run(["git", "archive", rev], capture_output=True, check=True).stdout
        subprocess.run(["tar", "-x", "-C", origin], input=archive, check=True)
        files = run(["git", "ls-tree", "-r", "--name-only", rev], capture_output=True, text=True,
                    check=True).stdout.split("\n")
    else:
        files = run(["git", "ls-files", "-co", "--exclude-standard"], capture_output=True, text=True,
                    check=True).stdout.split("\n")
    for name in filter(None, files):
        source, target = os.path.join(origin, name), os.path.join(SRC, name)
        if not os.path.isfile(source):
            continue
        os.makedirs(os.path.dirname(target), exist_ok=True)
        if not os.path.exists(target) or open(source, "rb").read() != open(target, "rb").read():
            shutil.copy2(source, target)


def build(targets):
    command = ["cmake", "--build", BUILD, "-j", str(os.cpu_count() or 2)]
    for target in targets:
        command += ["--target", target]
    return run(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL).returncode == 0


def tests_pass(tests):
    pattern = "^(" + "|".join(re.escape(t) for t in tests) + ")$"
    result = run(["tools/with-display.sh", "ctest", "--test-dir", BUILD, "-R", pattern, "--timeout",
                  str(TEST_TIMEOUT)], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return result.returncode == 0


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--faults", default=os.path.join(ROOT, "tools", "mutate", "faults.txt"))
    parser.add_argument("--only", default="")
    parser.add_argument("--rev", default=None)
    parser.add_argument("--check", action="store_true")
    args = parser.parse_args()
    faults = parse(open(args.faults).read())
    if args.only:
        wanted = set(args.only.split(","))
        faults = [f for f in faults if f.ident in wanted]

    # Every fault must name text that occurs once: a fault that no longer applies is stale data.
    os.makedirs(SRC, exist_ok=True)
    copy_sources(args.rev)
    stale = []
    for fault in faults:
        text = open(os.path.join(SRC, fault.path)).read()
        if any(text.count(old) != 1 for old, _ in fault.edits):
            stale.append(fault.ident)
    if stale:
        sys.exit("faults that no longer apply: " + ", ".join(stale))
    if args.check:
        print(f"every one of {len(faults)} faults applies")
        return 0

    if not os.path.exists(os.path.join(BUILD, "build.ninja")):
        run(["cmake", "-S", SRC, "-B", BUILD, "-G", "Ninja",
             "-DCMAKE_TOOLCHAIN_FILE=" + os.path.join(SRC, "cmake", "toolchain-x86_64.cmake"),
             "-DCMAKE_BUILD_TYPE=Release"], stdout=subprocess.DEVNULL, check=True)
    every_test = sorted({t for f in faults for t in f.tests})
    print(f"building the unchanged sources and checking that {len(every_test)} test programs pass...", flush=True)
    if not build([]) or not tests_pass(every_test):
        sys.exit("the unchanged sources do not build or pass: fix that first")

    killed, survived, broken = [], [], []
    for number, fault in enumerate(faults, 1):
        path = os.path.join(SRC, fault.path)
        original = open(path).read()
        mutated = original
        for old, new in fault.edits:
            mutated = mutated.replace(old, new, 1)
        start = time.time()
        try:
            open(path, "w").write(mutated)
            if not build(fault.tests):
                outcome, bucket = "does not build", broken
            elif tests_pass(fault.tests):
                outcome, bucket = "SURVIVED", survived
            else:
                outcome, bucket = "killed", killed
        finally:
            open(path, "w").write(original)
        bucket.append(fault)
        print(f"[{number:2}/{len(faults)}] {fault.ident:40} {outcome:15} {time.time() - start:5.0f} s "
              f"({' '.join(fault.tests)})", flush=True)
    build([])

    scored = len(killed) + len(survived)
    print()
    for fault in survived:
        print(f"survivor: {fault.ident} in {fault.path}")
    for fault in broken:
        print(f"does not build: {fault.ident} in {fault.path}")
    if scored:
        print(f"mutation score: {len(killed)} of {scored} faults killed, {100.0 * len(killed) / scored:.0f}%")
    return 0


if __name__ == "__main__":
    sys.exit(main())
