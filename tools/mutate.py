#!/usr/bin/env python3
"""Puts single-line faults into the code, one at a time, and tells which ones the tests catch.

    tools/mutate.py --base main                 # the lines changed since main
    tools/mutate.py src/files/mcc.cpp           # every line of named files
    tools/mutate.py --list src/files/mcc.cpp    # only show the faults it would make

Each fault is built with the test programs that can see the file and run with them: "killed"
when a program fails (or times out), "survived" when all pass, "not built" when the fault does
not compile (not counted). The source file is always put back, also on Ctrl+C.
"""
import argparse
import os
import random
import re
import signal
import subprocess
import sys
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent

# Folders whose test programs are not named after them.
EXTRA_TESTS = {
    "cli": ["files_tests"],
    "app": ["app_tests"],
    "caption_window": ["caption_window_tests"],
    "timeline": ["timeline_tests"],
    "video": ["video_tests"],
}
GUI_FOLDERS = {"app", "caption_window", "timeline", "video"}

STRING_OR_CHAR = re.compile(r'"(?:\\.|[^"\\])*"|\'(?:\\.|[^\'\\])*\'')
COMPARISONS = [(" < ", " <= "), (" <= ", " < "), (" > ", " >= "), (" >= ", " > "),
               (" == ", " != "), (" != ", " == ")]
INTEGER = re.compile(r"(?<![\w.])(\d+)(?![\w.'])")
CONDITION = re.compile(r"^(\s*(?:\}\s*else\s+)?if\s*\()(.*)(\)\s*\{?\s*)$")
CONJUNCT = re.compile(r" (&&|\|\|) ")
# A declaration: deleting it only breaks the build, so it is not tried.
DECLARATION = re.compile(r"^(?:const |constexpr |static |auto |unsigned )*[\w:]+(?:<.*>)?[\s*&]+\w+\s*[=({;\[]")


def masked(line):
    """The line with string and character literals and comments blanked, so that no fault is
    made inside them; same length as the line."""
    out = STRING_OR_CHAR.sub(lambda m: "_" * len(m.group(0)), line)
    cut = out.find("//")
    if cut >= 0:
        out = out[:cut] + "_" * (len(out) - cut)
    return out


def is_code(line):
    s = line.strip()
    return bool(s) and not s.startswith(("#", "//", "*", "/*", "static_assert", "assert("))


def faults_of_line(line):
    """Yields (kind, mutated line) for one source line."""
    if not is_code(line):
        return
    mask = masked(line)
    for old, new in COMPARISONS:
        at = mask.find(old)
        while at >= 0:
            yield "comparison", line[:at] + new + line[at + len(old):]
            at = mask.find(old, at + 1)
    for m in INTEGER.finditer(mask):
        if mask[max(0, m.start() - 2):m.start()] == "0x":
            continue
        # A buffer's size in its declaration: one byte more or less changes nothing seen.
        if mask[m.start() - 1:m.start()] == "[" and mask[m.end():m.end() + 1] == "]" and \
                DECLARATION.match(mask.strip()):
            continue
        value = int(line[m.start():m.end()])
        for v in (value + 1, value - 1):
            if v >= 0:
                yield "constant", line[:m.start()] + str(v) + line[m.end():]
    cond = CONDITION.match(mask)
    if cond:
        head, body = len(cond.group(1)), len(cond.group(1)) + len(cond.group(2))
        inner = line[head:body]
        yield "condition", line[:head] + "true" + line[body:]
        yield "condition", line[:head] + "false" + line[body:]
        for m in CONJUNCT.finditer(mask[head:body]):
            yield "condition", line[:head] + inner[:m.start()] + line[body:]
    at = mask.find("!", 0)
    while at >= 0:
        if mask[at + 1:at + 2] != "=":
            yield "negation", line[:at] + line[at + 1:]
        at = mask.find("!", at + 1)
    s = mask.strip()
    if s.endswith(";") and not s.startswith(("return", "break", "continue", "}", "case", "using",
                                             "namespace", "friend", "template", "typedef")):
        if ("=" in s or s.endswith(");")) and not DECLARATION.match(s):
            yield "statement", ""


def changed_lines(base):
    """{path: set of line numbers} added or changed since base, in src/."""
    diff = subprocess.run(["git", "diff", "-U0", base, "--", "src"], cwd=ROOT, text=True,
                          capture_output=True, check=True).stdout
    lines, path = {}, None
    for row in diff.splitlines():
        if row.startswith("+++ "):
            path = row[6:] if row.startswith("+++ b/") else None
        elif row.startswith("@@") and path:
            m = re.search(r"\+(\d+)(?:,(\d+))?", row)
            first, count = int(m.group(1)), int(m.group(2) or 1)
            lines.setdefault(path, set()).update(range(first, first + count))
    return lines


def test_programs(path):
    """The test programs that can see a source file: its folder's, and those whose tests
    include its header."""
    parts = Path(path).parts
    folder = parts[1] if len(parts) > 2 and parts[0] == "src" else None
    names = set(EXTRA_TESTS.get(folder, []))
    if folder and (ROOT / "tests" / folder).is_dir() and folder not in EXTRA_TESTS:
        names.add(folder + "_tests")
    header = f'"{folder}/{Path(path).stem}.h"'
    for test in (ROOT / "tests").rglob("*"):
        if test.suffix in (".cpp", ".h") and header in test.read_text(errors="replace"):
            sub = test.relative_to(ROOT / "tests").parts[0]
            names.update(EXTRA_TESTS.get(sub, [sub + "_tests"]) if sub != "support" else [])
    return sorted(n for n in names if (ROOT / "tests" / n[:-len("_tests")]).is_dir())


def program_path(build, name):
    return Path(build) / "tests" / name[:-len("_tests")] / name


def run(cmd, timeout, env=None):
    try:
        return subprocess.run(cmd, cwd=ROOT, capture_output=True, timeout=timeout, env=env,
                              start_new_session=True).returncode
    except subprocess.TimeoutExpired:
        return "timeout"


def try_fault(build, path, number, mutated, original_text, programs, args):
    lines = original_text.split("\n")
    lines[number - 1] = mutated
    target = ROOT / path
    target.write_text("\n".join(lines))
    try:
        built = run(["cmake", "--build", build, "-j", str(args.jobs), "--target", *programs],
                    args.build_timeout)
        if built != 0:
            return "not built"
        env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
        for name in programs:
            cmd = [str(program_path(build, name)), "--gtest_brief=1"]
            if args.filter:
                cmd.append("--gtest_filter=" + args.filter)
            if run(cmd, args.timeout, env) != 0:
                return "killed"
        return "survived"
    finally:
        target.write_text(original_text)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("files", nargs="*", help="source files to mutate (every line)")
    parser.add_argument("--base", help="mutate only the lines changed since this revision")
    parser.add_argument("--build", default="build/test", help="a configured test build folder")
    parser.add_argument("--max", type=int, default=40, help="faults to try at most (sampled)")
    parser.add_argument("--seed", type=int, default=1, help="seed of the sample")
    parser.add_argument("--tests", help="comma-separated test programs instead of the guess")
    parser.add_argument("--filter", help="a gtest filter for the test programs")
    parser.add_argument("--timeout", type=int, default=300, help="seconds per test program")
    parser.add_argument("--build-timeout", type=int, default=900)
    parser.add_argument("--jobs", type=int, default=2)
    parser.add_argument("--list", action="store_true", help="list the faults, build nothing")
    args = parser.parse_args()

    if args.base:
        wanted = changed_lines(args.base)
    elif args.files:
        wanted = {str(Path(f).resolve().relative_to(ROOT)): None for f in args.files}
    else:
        parser.error("name files or give --base")

    candidates = []
    for path, numbers in sorted(wanted.items()):
        if not path.endswith((".cpp", ".h")) or not (ROOT / path).is_file():
            continue
        text = (ROOT / path).read_text()
        in_block_comment = False
        for number, line in enumerate(text.split("\n"), 1):
            if "/*" in line and "*/" not in line:
                in_block_comment = True
            if in_block_comment:
                in_block_comment = "*/" not in line
                continue
            if numbers is None or number in numbers:
                for kind, mutated in faults_of_line(line):
                    candidates.append((path, number, kind, line, mutated))
    random.Random(args.seed).shuffle(candidates)
    chosen = sorted(candidates[:args.max], key=lambda c: (c[0], c[1]))
    print(f"{len(candidates)} possible faults, trying {len(chosen)}", flush=True)

    signal.signal(signal.SIGTERM, lambda *_: sys.exit(130))
    tally = {"killed": 0, "survived": 0, "not built": 0}
    started = time.time()
    for path, number, kind, line, mutated in chosen:
        programs = args.tests.split(",") if args.tests else test_programs(path)
        shown = mutated.strip() or "(line deleted)"
        if args.list or not programs:
            print(f"{'no tests' if not programs else 'listed'}: {path}:{number} {kind}: "
                  f"{line.strip()}  ->  {shown}")
            continue
        original = (ROOT / path).read_text()
        result = try_fault(args.build, path, number, mutated, original, programs, args)
        tally[result] += 1
        print(f"{result}: {path}:{number} {kind}: {line.strip()}  ->  {shown}"
              f"  [{','.join(programs)}]", flush=True)
    counted = tally["killed"] + tally["survived"]
    if counted:
        print(f"\n{tally['killed']} of {counted} faults killed ({100 * tally['killed'] // counted}%),"
              f" {tally['survived']} survived, {tally['not built']} not built,"
              f" {time.time() - started:.0f} s")
    # Put the programs back in step with the restored sources.
    used = sorted({p for c in chosen for p in (args.tests.split(",") if args.tests
                                               else test_programs(c[0]))})
    if not args.list and used:
        run(["cmake", "--build", args.build, "-j", str(args.jobs), "--target", *used],
            args.build_timeout)


if __name__ == "__main__":
    main()
