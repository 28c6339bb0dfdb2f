#!/usr/bin/env python3
"""Measures how many small faults the test suite catches.

Samples N mutations of the sources under src/ with a seed, applies each one in
turn to a private copy of the tree, rebuilds only what changed, runs the tests
and counts the mutant as killed when a test fails. A mutant that does not build
is left out of the rate. The same seed and N on the same tree give the same
mutants, so a figure before and after a change to the tests can be compared.

    tools/mutants.py --seed 1 -n 40            # prints survivors and the kill rate
    tools/mutants.py --seed 1 -n 40 --list     # only lists the sampled mutants

Operators: relational and equality flips (< <=, > >=, == !=), integer literal
+1, && <-> ||, true <-> false, one character dropped from a string literal.
"""

import argparse
import os
import random
import re
import shutil
import subprocess
import sys
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent

# Operators written with blanks around them: the code base spaces its binary
# operators, so this skips template brackets, includes and stream operators.
FLIPS = {" < ": " <= ", " <= ": " < ", " > ": " >= ", " >= ": " > ",
         " == ": " != ", " != ": " == ", " && ": " || ", " || ": " && "}
FLIP_RE = re.compile(r" (?:<=|>=|==|!=|&&|\|\||<|>) ")
BOOL_RE = re.compile(r"\b(true|false)\b")
INT_RE = re.compile(r"(?<![\w.])(\d+)(?![\w.'])")
STRING_RE = re.compile(r'"((?:[^"\\]|\\.)+)"')


def code_part(line):
    """The line up to a // comment that is not inside a string literal."""
    in_string = False
    i = 0
    while i < len(line):
        c = line[i]
        if c == "\\" and in_string:
            i += 2
            continue
        if c == '"':
            in_string = not in_string
        elif not in_string and line.startswith("//", i):
            return line[:i]
        i += 1
    return line


def masked(text):
    """The text with string and character literals blanked, same length."""
    return re.sub(r'"(?:[^"\\]|\\.)*"|\'(?:[^\'\\]|\\.)*\'',
                  lambda m: '"' + " " * (len(m.group(0)) - 2) + '"', text)


def candidate_sites(path):
    sites = []
    in_block_comment = False
    lines = path.read_text(encoding="latin-1").split("\n")
    for number, line in enumerate(lines, 1):
        stripped = line.strip()
        if in_block_comment:
            if "*/" in stripped:
                in_block_comment = False
            continue
        if stripped.startswith("/*"):
            in_block_comment = "*/" not in stripped
            continue
        if not stripped or stripped.startswith(("#", "//", "static_assert")):
            continue
        code = code_part(line)
        blank = masked(code)
        for m in FLIP_RE.finditer(blank):
            old = m.group(0)
            sites.append((number, m.start(), old, FLIPS[old], "flip"))
        for m in BOOL_RE.finditer(blank):
            new = "false" if m.group(1) == "true" else "true"
            sites.append((number, m.start(), m.group(1), new, "bool"))
        for m in INT_RE.finditer(blank):
            value = m.group(1)
            if value.startswith("0") and len(value) > 1:
                continue  # octal or padded text, not a plain count
            sites.append((number, m.start(), value, str(int(value) + 1), "int+1"))
        for m in STRING_RE.finditer(code):
            body = m.group(1)
            if "\\" in body or len(body) < 1:
                continue
            sites.append((number, m.start(), m.group(0), None, "string"))
    return [(path, *site) for site in sites]


def all_sites():
    sources = sorted(p for p in (ROOT / "src").rglob("*.cpp"))
    sites = []
    for path in sources:
        sites.extend(candidate_sites(path))
    return sites


def mutated_line(line, column, old, new, kind, rng):
    if kind == "string":
        body = old[1:-1]
        drop = rng.randrange(len(body))
        new = '"' + body[:drop] + body[drop + 1:] + '"'
    assert line[column:column + len(old)] == old
    return line[:column] + new + line[column + len(old):], new


def sample(seed, count):
    rng = random.Random(seed)
    sites = all_sites()
    chosen = rng.sample(sites, min(count, len(sites)))
    mutants = []
    for path, number, column, old, new, kind in chosen:
        lines = path.read_text(encoding="latin-1").split("\n")
        changed, new = mutated_line(lines[number - 1], column, old, new, kind, rng)
        mutants.append({"path": path.relative_to(ROOT), "line": number,
                        "kind": kind, "old": old, "new": new, "text": changed})
    return mutants, len(sites)


def run(command, cwd, timeout):
    try:
        done = subprocess.run(command, cwd=cwd, stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL, timeout=timeout)
        return done.returncode
    except subprocess.TimeoutExpired:
        return -1


def prepare_tree(work, build_type, jobs):
    """A private copy of the committed tree with its own build directory."""
    if work.exists():
        subprocess.run(["git", "worktree", "remove", "--force", str(work)], cwd=ROOT)
        shutil.rmtree(work, ignore_errors=True)
    subprocess.run(["git", "worktree", "add", "--detach", "-q", str(work), "HEAD"],
                   cwd=ROOT, check=True)
    build = work / "build-mutants"
    subprocess.run(["cmake", "-S", str(work), "-B", str(build), "-G", "Ninja",
                    f"-DCMAKE_BUILD_TYPE={build_type}"],
                   check=True, stdout=subprocess.DEVNULL)
    subprocess.run(["cmake", "--build", str(build), "-j", str(jobs)], check=True,
                   stdout=subprocess.DEVNULL)
    return build


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("-n", type=int, default=40, help="number of mutants (default 40)")
    parser.add_argument("--list", action="store_true", help="list the mutants and stop")
    parser.add_argument("--work", default="/tmp/ctgtilbo-mutants",
                        help="private worktree and build directory")
    parser.add_argument("--build-type", default="Release")
    parser.add_argument("--jobs", type=int, default=os.cpu_count() or 2)
    parser.add_argument("--timeout", type=int, default=600,
                        help="seconds for one rebuild or one test run")
    args = parser.parse_args()

    mutants, site_count = sample(args.seed, args.n)
    print(f"{len(mutants)} mutants of {site_count} sites, seed {args.seed}")
    if args.list:
        for m in mutants:
            print(f"  {m['path']}:{m['line']} {m['kind']}: {m['old']} -> {m['new']}")
        return 0

    work = Path(args.work)
    build = prepare_tree(work, args.build_type, args.jobs)
    killed = survived = unbuilt = 0
    survivors = []
    for index, m in enumerate(mutants, 1):
        target = work / m["path"]
        original = target.read_text(encoding="latin-1")
        lines = original.split("\n")
        lines[m["line"] - 1] = m["text"]
        target.write_text("\n".join(lines), encoding="latin-1")
        label = f"{m['path']}:{m['line']} {m['kind']}: {m['old']} -> {m['new']}"
        started = time.time()
        try:
            if run(["cmake", "--build", str(build), "-j", str(args.jobs)], work,
                   args.timeout) != 0:
                unbuilt += 1
                verdict = "does not build"
            elif run(["ctest", "--stop-on-failure", "-j", str(args.jobs),
                      "--timeout", str(args.timeout)], build, args.timeout) != 0:
                killed += 1
                verdict = "killed"
            else:
                survived += 1
                survivors.append(label)
                verdict = "SURVIVED"
        finally:
            target.write_text(original, encoding="latin-1")
        print(f"[{index}/{len(mutants)}] {verdict:15} {label} ({time.time() - started:.0f} s)",
              flush=True)

    # Leave the build matching the committed sources for the next call.
    run(["cmake", "--build", str(build), "-j", str(args.jobs)], work, args.timeout)
    built = killed + survived
    print("\nSurvivors:")
    for label in survivors:
        print(f"  {label}")
    rate = 100.0 * killed / built if built else 0.0
    print(f"\nkilled {killed} of {built} built mutants ({unbuilt} did not build): "
          f"kill rate {rate:.1f}%")
    return 0


if __name__ == "__main__":
    sys.exit(main())
