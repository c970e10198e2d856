#!/usr/bin/env python3
"""Times whole generator runs: median wall time and peak resident memory over several runs of
one request, read from a file through standard input as a server would pipe it.

    time_run.py build/release/vlgen request.json [--runs 5]
"""
import argparse
import os
import resource
import statistics
import subprocess
import sys
import time


def run_once(binary, request):
    with open(request, "rb") as stdin:
        start = time.perf_counter()
        pid = os.fork()
        if pid == 0:
            os.dup2(stdin.fileno(), 0)
            devnull = os.open(os.devnull, os.O_WRONLY)
            os.dup2(devnull, 1)
            os.dup2(devnull, 2)
            os.execv(binary, [binary])
        _, status, usage = os.wait4(pid, 0)
        wall = time.perf_counter() - start
    return wall, usage.ru_maxrss * 1024, os.waitstatus_to_exitcode(status)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("binary")
    parser.add_argument("request")
    parser.add_argument("--runs", type=int, default=5)
    options = parser.parse_args()
    size = os.path.getsize(options.request)
    results = [run_once(options.binary, options.request) for _ in range(options.runs)]
    walls = [r[0] for r in results]
    peak = max(r[1] for r in results)
    print(f"{options.request}: {size / 1e6:.1f} MB, median {statistics.median(walls):.3f} s "
          f"(min {min(walls):.3f}, max {max(walls):.3f}), peak RSS {peak / 1e6:.1f} MB "
          f"({peak / size:.2f}x input), exit {results[-1][2]}")


if __name__ == "__main__":
    main()
