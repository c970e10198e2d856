#!/usr/bin/env python3
"""Checks the include rules between folders of src/.

- base and platform never include a report folder;
- third-party headers appear only in platform/**.cpp (zlib.h and jpeglib.h in one wrapper each);
- a header ending in _internal.h is included only from its own folder;
- nothing outside objects/ includes objects/.
"""
import pathlib
import re
import sys

REPORT_FOLDERS = {"front", "request", "template", "model", "engine", "script", "layout", "pdf", "objects"}
PROJECT_FOLDERS = REPORT_FOLDERS | {"base", "platform"}
STD_HEADER = re.compile(r"^[a-z_0-9]+$|^(sys|bits)/")
POSIX_HEADERS = {"unistd.h", "fcntl.h", "langinfo.h", "locale.h", "sys/stat.h", "sys/types.h",
                 "sys/mman.h", "signal.h", "errno.h", "dirent.h", "stdlib.h", "string.h"}
WRAPPED_LIBRARIES = {"zlib.h", "jpeglib.h"}
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]', re.M)


def main(src: pathlib.Path) -> int:
    problems = []
    wrappers = {lib: [] for lib in WRAPPED_LIBRARIES}
    for path in sorted(src.rglob("*")):
        if path.suffix not in (".h", ".cpp"):
            continue
        rel = path.relative_to(src)
        folder = rel.parts[0]
        for kind, header in INCLUDE.findall(path.read_text(encoding="utf-8")):
            top = header.split("/")[0]
            if kind == '"' or top in PROJECT_FOLDERS:
                if folder in ("base", "platform") and top in REPORT_FOLDERS:
                    problems.append(f"{rel}: {folder} must not include {header}")
                if header.endswith("_internal.h") and pathlib.Path(header).parent != rel.parent:
                    problems.append(f"{rel}: {header} is internal to its folder")
                if top == "objects" and folder != "objects":
                    problems.append(f"{rel}: only objects/ may include {header}")
                continue
            if STD_HEADER.match(header) or header in POSIX_HEADERS:
                continue
            if header in WRAPPED_LIBRARIES:
                wrappers[header].append(str(rel))
                continue
            if folder != "platform" or path.suffix != ".cpp":
                problems.append(f"{rel}: third-party header {header} outside platform/**.cpp")
    for lib, files in wrappers.items():
        if len(files) > 1:
            problems.append(f"{lib} is included by more than one file: {', '.join(files)}")
    for p in problems:
        print(p)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else "src")))
