#!/usr/bin/env python3
"""Runs the generator binary on the declarative cases under tests/e2e/cases and checks what a
caller sees: exit status, standard error, standard output, the output file, and for documents what
real PDF readers (qpdf, pdfinfo, pdftotext, pdffonts, pdfimages) make of them.

A case file holds one case object or {"cases": [...]} for a table of related cases. Case fields:
  name          label (defaults to the file name)
  args          command-line words; "{out}" and "{in}" are replaced by temporary file paths
  request       a JSON value written as the input (compact, UTF-8)
  request_text  the input as text (written as UTF-8)
  request_hex   the input as bytes in hexadecimal
  input_file    true: the input goes to the file "{in}" instead of standard input
  env           extra environment variables
  expect        status, stderr (exact text), stdout (exact text), stdout_empty, output_file
                ("empty" or "pdf"), pdf: {pages, text (list of substrings), text_absent (list of
                substrings that must not appear), fonts_embedded}

Ends with "N passed, N failed"; exits 1 when any case failed.
"""
import argparse
import json
import os
import pathlib
import subprocess
import sys
import tempfile

CASES = pathlib.Path(__file__).parent / "cases"


def load_cases():
    for path in sorted(CASES.rglob("*.json")):
        data = json.loads(path.read_text(encoding="utf-8"))
        rel = path.relative_to(CASES).with_suffix("")
        if "cases" in data:
            for i, case in enumerate(data["cases"]):
                case.setdefault("name", f"{rel}[{i}]")
                yield case
        else:
            data.setdefault("name", str(rel))
            yield data


def request_bytes(case):
    if "request" in case:
        return json.dumps(case["request"], ensure_ascii=False).encode("utf-8")
    if "request_text" in case:
        return case["request_text"].encode("utf-8")
    if "request_hex" in case:
        return bytes.fromhex(case["request_hex"])
    return b""


def check_pdf(path, expect, problems):
    qpdf = subprocess.run(["qpdf", "--check", path], capture_output=True, text=True)
    if qpdf.returncode != 0:
        problems.append(f"qpdf --check failed: {qpdf.stdout[-500:]}{qpdf.stderr[-500:]}")
    if "pages" in expect:
        info = subprocess.run(["pdfinfo", path], capture_output=True, text=True).stdout
        pages = next((l.split()[-1] for l in info.splitlines() if l.startswith("Pages:")), None)
        if str(expect["pages"]) != pages:
            problems.append(f"pages: expected {expect['pages']}, pdfinfo says {pages}")
    if "text" in expect:
        text = subprocess.run(["pdftotext", "-layout", path, "-"], capture_output=True,
                              text=True).stdout
        for piece in expect["text"]:
            if piece not in text:
                problems.append(f"text {piece!r} not found in:\n{text[:2000]}")
        for piece in expect.get("text_absent", []):
            if piece in text:
                problems.append(f"text {piece!r} should not appear in:\n{text[:2000]}")
    if expect.get("fonts_embedded"):
        fonts = subprocess.run(["pdffonts", path], capture_output=True, text=True).stdout
        for line in fonts.splitlines()[2:]:
            if " no " in line.split("  ", 1)[-1][:60] and "emb" not in line:
                problems.append(f"font not embedded: {line}")


def run_case(binary, case, tmp):
    problems = []
    in_path = os.path.join(tmp, "request.json")
    out_path = os.path.join(tmp, "out.pdf")
    for p in (in_path, out_path):
        if os.path.exists(p):
            os.remove(p)
    data = request_bytes(case)
    stdin = data
    if case.get("input_file"):
        pathlib.Path(in_path).write_bytes(data)
        stdin = b""
    args = [a.replace("{out}", out_path).replace("{in}", in_path) for a in case.get("args", [])]
    env = dict(os.environ)
    env.setdefault("LC_ALL", "C.UTF-8")
    env.update(case.get("env", {}))
    try:
        run = subprocess.run([binary] + args, input=stdin, capture_output=True, env=env,
                             timeout=case.get("timeout", 120))
    except subprocess.TimeoutExpired:
        return ["timed out"]
    expect = case.get("expect", {})
    if "status" in expect and run.returncode != expect["status"]:
        problems.append(f"status: expected {expect['status']}, got {run.returncode}")
    stderr = run.stderr.decode("utf-8", "replace")
    if "stderr" in expect and stderr != expect["stderr"]:
        problems.append(f"stderr: expected {expect['stderr']!r}, got {stderr!r}")
    if "stdout" in expect and run.stdout.decode("utf-8", "replace") != expect["stdout"]:
        problems.append(f"stdout: expected {expect['stdout']!r}, got {run.stdout[:300]!r}")
    if expect.get("stdout_empty") and run.stdout:
        problems.append(f"stdout not empty: {run.stdout[:100]!r}")
    if expect.get("output_file") == "empty":
        if not os.path.exists(out_path):
            problems.append("output file was not created")
        elif os.path.getsize(out_path) != 0:
            problems.append("output file is not empty")
    pdf = expect.get("pdf")
    if pdf is not None:
        path = out_path
        if not case.get("args") or "{out}" not in " ".join(case["args"]):
            path = os.path.join(tmp, "stdout.pdf")
            pathlib.Path(path).write_bytes(run.stdout)
        check_pdf(path, pdf, problems)
    return problems


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--binary", required=True)
    parser.add_argument("filter", nargs="?", default="")
    options = parser.parse_args()
    passed = failed = 0
    with tempfile.TemporaryDirectory() as tmp:
        for case in load_cases():
            if options.filter not in case["name"]:
                continue
            problems = run_case(options.binary, case, tmp)
            if problems:
                failed += 1
                print(f"FAIL {case['name']}")
                for p in problems:
                    print(f"    {p}")
            else:
                passed += 1
    print(f"{passed} passed, {failed} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
