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

def datasets_prop_data(*names):
    """The report's "Datasets" property data: the tables its expressions may name."""
    items = b"".join(b"\x14" + len(t).to_bytes(4, "little") + t for t in (
        f'DataSet="{n}" DataSetName="{n}"'.encode() for n in names))
    return (b"\x08Datasets\x01\x01" + items + b"\x00\x00").hex().upper()


def memo(name, left, width, text, extra=""):
    return (f'<TvlxMemoView Name="{name}" Left="{left}" Width="{width}" Height="18.9" '
            f'Font.Name="Arial" Text="{text}"{extra}/>')


TEMPLATE = (
    '<?xml version="1.0" encoding="utf-8"?>'
    f'<TvlxReport PropData="{datasets_prop_data("rows")}"><TvlxReportPage Name="Page1">'
    '<TvlxPageHeader Name="PageHeader1" Height="18.9" Top="0" Width="718.1">'
    + memo("Head1", 0, 260, "Customer") + memo("Head2", 260, 150, "City")
    + memo("Head3", 410, 150, "Amount", ' HAlign="haRight"') + memo("Head4", 560, 150, "Created")
    + '</TvlxPageHeader>'
    '<TvlxMasterData Name="MasterData1" DataSet="rows" DataSetName="rows" Height="18.9" Top="40"'
    ' Width="718.1">'
    + memo("Memo1", 0, 260, "[rows.&#34;name&#34;]") + memo("Memo2", 260, 150, "[rows.&#34;city&#34;]")
    + memo("Memo3", 410, 150, "[rows.&#34;amount&#34;]",
           ' HAlign="haRight" DisplayFormat.FormatStr="#,##0.00" DisplayFormat.Kind="fkNumeric"')
    + memo("Memo4", 560, 150, "[rows.&#34;created&#34;]")
    + '</TvlxMasterData>'
    '<TvlxPageFooter Name="PageFooter1" Height="18.9" Top="80" Width="718.1">'
    + memo("Foot1", 0, 300, "Page [Page#] of [TotalPages#]")
    + '</TvlxPageFooter></TvlxReportPage></TvlxReport>')


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
