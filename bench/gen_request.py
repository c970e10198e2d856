#!/usr/bin/env python3
"""Writes a large request of generated rows (strings, numbers, dates, booleans, nulls), for timing
the generator on inputs from a megabyte to hundreds of megabytes.

    gen_request.py --rows 100000 > request.json
    gen_request.py --megabytes 100 > request.json
"""
import argparse
import json
import random
import sys

FIELDS = [["id", "number"], ["name", "string"], ["city", "string_40"], ["amount", "number"],
          ["created", "date"], ["active", "boolean"], ["note", "text"], ["at", "time"]]
CITIES = ["Zagreb", "Split", "Rijeka", "Osijek", "Zadar", "Pula", "Šibenik", "Dubrovnik"]
WORDS = ["alpha", "beta", "gamma", "delta", "omega", "račun", "kupac", "iznos", "\"quoted\""]

TEMPLATE = ('<?xml version="1.0" encoding="utf-8"?><TvlxReport><TvlxReportPage Name="Page1">'
            '<TvlxMasterData Name="MasterData1" DataSet="rows" DataSetName="rows" Height="18.9">'
            '<TvlxMemoView Name="Memo1" Width="200" Height="18.9" Text="[rows.&#34;name&#34;]"/>'
            '</TvlxMasterData></TvlxReportPage></TvlxReport>')


def row(rng, i):
    note = None if i % 7 == 0 else " ".join(rng.choice(WORDS) for _ in range(rng.randint(1, 12)))
    return [i, f"Customer {i:07d}", rng.choice(CITIES), round(rng.uniform(-1e5, 1e6), 2),
            f"20{rng.randint(10, 29)}-{rng.randint(1, 12):02d}-{rng.randint(1, 28):02d}",
            i % 3 != 0, note, f"{rng.randint(0, 23):02d}:{rng.randint(0, 59):02d}:00"]


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    size = parser.add_mutually_exclusive_group(required=True)
    size.add_argument("--rows", type=int)
    size.add_argument("--megabytes", type=float)
    parser.add_argument("--seed", type=int, default=1)
    options = parser.parse_args()

    rng = random.Random(options.seed)
    out = sys.stdout
    out.write('{"report":' + json.dumps(TEMPLATE) + ',"datasets":{"rows":{"fields":'
              + json.dumps(FIELDS) + ',"data":[\n')
    limit = options.megabytes * 1e6 if options.megabytes else None
    written = 0
    i = 0
    while (options.rows is not None and i < options.rows) or (limit is not None and written < limit):
        line = ("," if i else "") + json.dumps(row(rng, i), ensure_ascii=False) + "\n"
        out.write(line)
        written += len(line.encode("utf-8"))
        i += 1
    out.write(']}},"variables":{"Title":"Benchmark"}}\n')


if __name__ == "__main__":
    main()
