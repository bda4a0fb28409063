"""Reading from several threads at once, and reading for long."""

import shutil
from concurrent.futures import ThreadPoolExecutor

import norvik


def _summary(result):
    return result.kind, result.record, [f.to_dict() for f in result.findings]


def _bytes(record):
    try:
        return norvik.to_bytes(record)
    except ValueError as refused:  # a value the JSON layer refuses to take back
        return str(refused)


def test_a_thread_pool_reads_as_a_serial_loop(exchange_files, tmp_path):
    files = []
    for i in range(6):  # a few hundred files, every kind and every finding
        for path in exchange_files:
            copy = tmp_path / f"{i}-{path.name}"
            shutil.copy(path, copy)
            files.append(copy)
    serial = [_summary(norvik.read(f)) for f in files]
    with ThreadPoolExecutor(4) as pool:
        results = list(pool.map(norvik.read, files))
        # Shared results converted from several threads at once.
        shared = list(pool.map(_summary, results + results))
        written = list(pool.map(_bytes, [r.record for r in results]))
    assert [_summary(r) for r in results] == serial
    assert shared == serial + serial
    assert written == [_bytes(r.record) for r in results]


def _resident_kib():
    with open("/proc/self/status") as status:
        return next(int(line.split()[1]) for line in status if line.startswith("VmRSS:"))


def test_ten_thousand_reads_do_not_grow_memory(exchange_files):
    """Resident size after 10,000 reads at most 2 MB above that after 1,000."""
    files = [p for p in exchange_files if p.stat().st_size < 4096]
    files = (files * (1000 // len(files) + 1))[:1000]

    def read_all():
        for f in files:
            result = norvik.read(f)
            result.record, result.findings, [x.to_dict() for x in result.findings]

    read_all()
    after_1000 = _resident_kib()
    for _ in range(9):
        read_all()
    after_10000 = _resident_kib()
    assert after_10000 - after_1000 <= 2048, (after_1000, after_10000)
