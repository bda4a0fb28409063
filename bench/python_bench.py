"""The Python module's speed and memory beside the native library and tool,
in one run (docs/performance.md):

- a long BL1 file (the bench's EFF lines) read with norvik.read and its
  record dict, against the native read alone (the same reader through the
  module, no dict) in the same process;
- 2,000 small files (the tool's samples) read by a pool of two threads,
  against `norvik check -j 2` on the same folder;
- resident memory after 1,000 and after 10,000 reads of small files.

Usage, with the module installed (scripts/test.sh python makes build/python/venv):
    build/python/venv/bin/python bench/python_bench.py NORVIK_TOOL [REPETITIONS]
"""

import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time
from concurrent.futures import ThreadPoolExecutor
from pathlib import Path

import norvik
from norvik import _norvik


def bl1_text(lines):
    """The BL1 file of bench/bench_exchange.cpp's makeBl1."""
    body = "".join(f"  EFF {i} 12.500 -3.000 40.125\n" for i in range(lines))
    return '"NV_ATT","Bench"\nTRA D\n' + body + "FIN\n"


def median_times(actions, repetitions):
    """The median time of each action; the actions take turns, so that a change
    of the machine's load meanwhile reaches them alike."""
    times = [[] for _ in actions]
    for _ in range(repetitions):
        for action, spent in zip(actions, times):
            start = time.perf_counter()
            action()
            spent.append(time.perf_counter() - start)
    return [statistics.median(spent) for spent in times]


def resident_kib():
    with open("/proc/self/status") as status:
        return next(int(line.split()[1]) for line in status if line.startswith("VmRSS:"))


def main(tool, repetitions):
    base = "/dev/shm" if os.path.isdir("/dev/shm") else None
    with tempfile.TemporaryDirectory(prefix="norvik-pybench-", dir=base) as tmp:
        tmp = Path(tmp)
        print(f"norvik {norvik.__version__}; {os.cpu_count()} cores; load {os.getloadavg()[0]:.2f}")
        print()
        print("| Figure | Python | Native | Python / native |")
        print("|---|---|---|---|")
        for lines in (10_000, 100_000):
            path = tmp / f"bl1_{lines}.bl1"
            path.write_text(bl1_text(lines))
            _norvik._read_native(path, "BL1")  # the row indexes, made once per process
            native, lazy, full = median_times([lambda: _norvik._read_native(path, "BL1"), lambda: norvik.read(path),
                                               lambda: norvik.read(path).record], repetitions)
            print(f"| read BL1, {lines:,} lines: result only | {lazy * 1e3:.1f} ms | {native * 1e3:.1f} ms "
                  f"| {lazy / native:.2f}x |")
            print(f"| read BL1, {lines:,} lines: result and record dict | {full * 1e3:.1f} ms "
                  f"| {native * 1e3:.1f} ms | {full / native:.2f}x |")

        samples = tmp / "samples"
        subprocess.run([tool, "sample", "--all", str(samples)], check=True)
        folder = tmp / "small"
        folder.mkdir()
        files = []
        for i in range(400):
            for sample in sorted(samples.iterdir()):
                copy = folder / f"f{i:03}{sample.suffix}"
                shutil.copy(sample, copy)
                files.append(copy)

        def pool(action):
            with ThreadPoolExecutor(2) as executor:
                list(executor.map(action, files))

        check, lazy, full = median_times([
            lambda: subprocess.run([tool, "check", "-j", "2", str(folder)], check=True, capture_output=True),
            lambda: pool(norvik.read),
            lambda: pool(lambda f: norvik.read(f).record),
        ], repetitions)
        print(f"| 2,000 small files, 2 threads: results | {lazy * 1e3:.0f} ms | {check * 1e3:.0f} ms "
              f"(`norvik check -j 2`) | {lazy / check:.2f}x |")
        print(f"| 2,000 small files, 2 threads: results and record dicts | {full * 1e3:.0f} ms "
              f"| {check * 1e3:.0f} ms | {full / check:.2f}x |")

        def read_thousand():
            for f in files[:1000]:
                result = norvik.read(f)
                result.record, result.findings

        read_thousand()
        after_1000 = resident_kib()
        for _ in range(9):
            read_thousand()
        after_10000 = resident_kib()
        print()
        print(f"Resident memory: {after_1000} KiB after 1,000 reads, {after_10000} KiB after 10,000 "
              f"({after_10000 - after_1000:+d} KiB)")


if __name__ == "__main__":
    if len(sys.argv) not in (2, 3):
        sys.exit(__doc__)
    main(sys.argv[1], int(sys.argv[2]) if len(sys.argv) == 3 else 11)
