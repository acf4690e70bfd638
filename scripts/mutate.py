#!/usr/bin/env python3
"""A small mutation pass over rename/ and folders/.

Copies the sources to a scratch folder, injects one one-line fault at a time (a flipped
comparison, a swapped && or ||, a dropped early return, an inverted true/false, ...), rebuilds
the test binaries that exercise those folders and runs them. A fault is caught when a test
fails (or hangs); it survives when every test passes. Faults that do not compile are not
counted. The faults are drawn from every candidate with a fixed seed, so two runs over the same
product sources try the same faults: `--tests-from REV` runs them against the tests of another
revision (for example the suite before a change) to compare scores.

    scripts/mutate.py [--count N] [--seed S] [--tests-from REV] [--keep]
"""

import argparse
import os
import random
import re
import shutil
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
FOLDERS = ("rename", "folders")
TESTS = ("rename_test", "folders_test", "properties_test")
# The slow breadth cases add minutes per fault and catch nothing the others do not.
FILTER = "--gtest_filter=-*HundredThousand*:*AMillionRows*"

# (name, pattern, replacement): each match on a line is one candidate fault.
OPERATORS = [
    ("== to !=", r"(?<=[^=!<>])==(?=[^=])", "!="),
    ("!= to ==", r"!=", "=="),
    ("< to <=", r"(?<= )<(?= )", "<="),
    ("<= to <", r"(?<= )<=(?= )", "<"),
    ("> to >=", r"(?<= )>(?= )", ">="),
    (">= to >", r"(?<= )>=(?= )", ">"),
    ("&& to ||", r"&&", "||"),
    ("|| to &&", r"\|\|", "&&"),
    ("true to false", r"\btrue\b", "false"),
    ("false to true", r"\bfalse\b", "true"),
    ("drop !", r"(?<=\()!(?=[A-Za-z_])", ""),
    ("+ 1 to - 1", r"\+ 1\b", "- 1"),
    ("- 1 to + 1", r"- 1\b", "+ 1"),
]
# The faults an earlier pass found the suite missing; always tried, before the drawn ones.
KNOWN = [
    ("rename/rename_platform.cpp", "return RenameCheckThenRename(from, to);",
     "no fallback when the flag is refused", ""),
    ("folders/subfolder_walk.cpp", "error == ENOENT || error == ENOTDIR",
     "listing not found keeps the folder", "    return error == EACCES || error == EPERM;"),
    ("folders/subfolder_walk.cpp", "name.size() >= kLengthBound ||",
     "no filter on long names", "        if (HasUnusableCharacters(name)) return true;"),
]
# Whole lines dropped: an early exit or a single statement.
DROPPABLE = re.compile(r"^\s*(if \(.*\) (return|continue|break)\b.*;|return [^;]+;|\+\+\w+;|"
                       r"\w+(\.|->)\w+\(.*\);)\s*$")


def candidates(tree):
    found = []
    for folder in FOLDERS:
        for name in sorted(os.listdir(os.path.join(tree, folder))):
            if not name.endswith(".cpp"):
                continue
            path = os.path.join(folder, name)
            with open(os.path.join(tree, path), encoding="utf-8") as source:
                lines = source.read().split("\n")
            for number, line in enumerate(lines):
                code = line.split("//")[0]
                stripped = code.strip()
                if not stripped or stripped.startswith(("#", "*", "/")):
                    continue
                for label, pattern, replacement in OPERATORS:
                    for match in re.finditer(pattern, code):
                        mutated = line[:match.start()] + replacement + line[match.end():]
                        found.append((path, number, label, mutated))
                if DROPPABLE.match(code):
                    found.append((path, number, "drop line", ""))
    return found


def run(command, cwd, timeout=None):
    try:
        return subprocess.run(command, cwd=cwd, stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL, timeout=timeout).returncode
    except subprocess.TimeoutExpired:
        return "timeout"


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[1])
    parser.add_argument("--count", type=int, default=40, help="faults to try (default 40)")
    parser.add_argument("--seed", type=int, default=13)
    parser.add_argument("--tests-from", help="take tests/ from this git revision")
    parser.add_argument("--keep", action="store_true", help="keep the scratch folder")
    args = parser.parse_args()

    # Inside the source folder (ignored by git) and shaped like it, so the compiler cache finds
    # the objects of the normal build.
    scratch = tempfile.mkdtemp(prefix="build-mutate-", dir=ROOT)
    tree = os.path.join(scratch, "tree")
    shutil.copytree(ROOT, tree, ignore=shutil.ignore_patterns("build*", ".git", ".cache"))
    if args.tests_from:
        shutil.rmtree(os.path.join(tree, "tests"))
        archive = subprocess.run(["git", "-C", ROOT, "archive", args.tests_from, "tests"],
                                 check=True, stdout=subprocess.PIPE).stdout
        subprocess.run(["tar", "-x", "-C", tree], input=archive, check=True)
    build = os.path.join(tree, "build")
    launcher = ["-DCMAKE_CXX_COMPILER_LAUNCHER=ccache"] if shutil.which("ccache") else []
    subprocess.run(["cmake", "-S", tree, "-B", build, "-DCMAKE_BUILD_TYPE=Release"] + launcher,
                   check=True, stdout=subprocess.DEVNULL)
    tests = [t for t in TESTS
             if run(["cmake", "--build", build, "-j2", "--target", t], tree) == 0]
    for test in tests:
        if run([os.path.join(build, test), FILTER], build, 600) != 0:
            sys.exit(f"mutate: {test} fails before any fault is injected")
    print(f"mutate: tests {' '.join(tests)}" +
          (f" (from {args.tests_from})" if args.tests_from else ""))

    pool = candidates(tree)
    chosen = sorted(random.Random(args.seed).sample(pool, min(args.count, len(pool))))
    known = []
    for path, text, label, mutated in KNOWN:
        with open(os.path.join(tree, path), encoding="utf-8") as source:
            for number, line in enumerate(source.read().split("\n")):
                if text in line:
                    known.append((path, number, "known: " + label, mutated))
                    break
    chosen = known + chosen
    caught = survived = stillborn = 0
    for path, number, label, mutated in chosen:
        file = os.path.join(tree, path)
        with open(file, encoding="utf-8") as source:
            original = source.read()
        lines = original.split("\n")
        lines[number] = mutated
        with open(file, "w", encoding="utf-8") as source:
            source.write("\n".join(lines))
        try:
            built = all(run(["cmake", "--build", build, "-j2", "--target", t], tree) == 0
                        for t in tests)
            if not built:
                stillborn += 1
                outcome = "does not compile"
            elif any(run([os.path.join(build, t), FILTER], build, 300) != 0 for t in tests):
                caught += 1
                outcome = "caught"
            else:
                survived += 1
                outcome = "SURVIVED"
        finally:
            with open(file, "w", encoding="utf-8") as source:
                source.write(original)
        print(f"{outcome:17} {path}:{number + 1}  {label}", flush=True)

    tried = caught + survived
    print(f"mutate: {caught} of {tried} faults caught"
          + (f" ({100 * caught // tried}%)" if tried else "")
          + f"; {stillborn} did not compile; {len(pool)} candidates")
    if args.keep:
        print(f"mutate: scratch folder {scratch}")
    else:
        shutil.rmtree(scratch, ignore_errors=True)


if __name__ == "__main__":
    main()
