#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Mutation run: plants one small fault at a time in src/, rebuilds incrementally, runs the normal
suite (ctest, stopping at the first failure) and counts the faults the suite catches.

Sites are the operators ==, !=, <, <=, >, >=, &&, || and the words true and false in code that
compiles into the program (comments, strings, character literals and preprocessor lines are
skipped). They are listed in sorted order and drawn with a seeded shuffle, so a seed and a tree
always give the same sample. A mutant that does not compile is counted apart and another site is
drawn, until --count mutants have compiled.
"""

import argparse
import json
import os
import random
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time

SWAPS = [
    # (name, pattern in code-only text, replacement)
    ("==", re.compile(r"(?<![=!<>])==(?!=)"), "!="),
    ("!=", re.compile(r"!=(?!=)"), "=="),
    ("<=", re.compile(r"(?<![<])<=(?![>=])"), "<"),
    (">=", re.compile(r"(?<![>\-])>=(?!=)"), ">"),
    # Plain < and > only as spaced binary operators: templates, includes, streams and -> differ.
    ("<", re.compile(r"(?<= )<(?= )"), "<="),
    (">", re.compile(r"(?<= )>(?= )"), ">="),
    ("&&", re.compile(r"(?<= )&&(?= )"), "||"),
    ("||", re.compile(r"(?<= )\|\|(?= )"), "&&"),
    ("true", re.compile(r"\btrue\b"), "false"),
    ("false", re.compile(r"\bfalse\b"), "true"),
]


def code_only(text):
    """The text with comments, string and character literals and preprocessor lines blanked out
    (same length, newlines kept), so that operator searches see only code."""
    out = list(text)
    i, n = 0, len(text)
    at_line_start = True

    def blank(a, b):
        for k in range(a, b):
            if out[k] != "\n":
                out[k] = " "

    while i < n:
        c = text[i]
        if c == "\n":
            at_line_start = True
            i += 1
            continue
        if at_line_start and c in " \t":
            i += 1
            continue
        if at_line_start and c == "#":
            # Preprocessor line, with its continuations.
            j = i
            while j < n:
                if text[j] == "\n" and text[j - 1] != "\\":
                    break
                j += 1
            blank(i, j)
            i = j
            continue
        at_line_start = False
        if text.startswith("//", i):
            j = text.find("\n", i)
            j = n if j < 0 else j
            blank(i, j)
            i = j
        elif text.startswith("/*", i):
            j = text.find("*/", i + 2)
            j = n if j < 0 else j + 2
            blank(i, j)
            i = j
        elif c == "R" and i + 1 < n and text[i + 1] == '"' and (i == 0 or not (text[i - 1].isalnum() or text[i - 1] == "_")):
            m = re.match(r'R"([^(\s]*)\(', text[i:])
            if m:
                end = text.find(")" + m.group(1) + '"', i + m.end())
                j = n if end < 0 else end + len(m.group(1)) + 2
                blank(i, j)
                i = j
            else:
                i += 1
        elif c in "\"'":
            if c == "'" and i > 0 and text[i - 1].isalnum():
                i += 1  # digit separator such as 1'000
                continue
            j = i + 1
            while j < n and text[j] != c and text[j] != "\n":
                j += 2 if text[j] == "\\" else 1
            j = min(j + 1, n)
            blank(i, j)
            i = j
        else:
            i += 1
    return "".join(out)


def compiled_files(tree):
    """Source files under src/ that a CMakeLists.txt there names, as paths relative to the tree."""
    src = os.path.join(tree, "src")
    names, files = set(), []
    for root, _, fs in os.walk(src):
        for f in fs:
            if f == "CMakeLists.txt":
                with open(os.path.join(root, f), encoding="utf-8") as h:
                    names.update(re.findall(r"[\w./-]+\.(?:cpp|h)\b", h.read()))
    for root, _, fs in os.walk(src):
        for f in fs:
            if f.endswith((".cpp", ".h")) and f in {os.path.basename(n) for n in names}:
                files.append(os.path.relpath(os.path.join(root, f), tree))
    return sorted(files)


def sites(tree):
    found = []
    for rel in compiled_files(tree):
        with open(os.path.join(tree, rel), encoding="utf-8") as h:
            text = h.read()
        code = code_only(text)
        line_starts = [0] + [m.end() for m in re.finditer("\n", text)]
        for name, pattern, repl in SWAPS:
            for m in pattern.finditer(code):
                pos = m.start()
                line = next(k for k in range(len(line_starts) - 1, -1, -1) if line_starts[k] <= pos)
                found.append((rel, line + 1, pos - line_starts[line] + 1, name, repl, pos))
    found.sort()
    return found


def run(cmd, timeout=None, env=None, cwd=None):
    """Runs cmd in its own process group; returns (exit code or None on time-out, output)."""
    p = subprocess.Popen(cmd, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True,
                         env=env, cwd=cwd, start_new_session=True)
    try:
        out, _ = p.communicate(timeout=timeout)
        return p.returncode, out
    except subprocess.TimeoutExpired:
        os.killpg(p.pid, signal.SIGKILL)
        out, _ = p.communicate()
        return None, out
    except BaseException:
        os.killpg(p.pid, signal.SIGKILL)
        p.communicate()
        raise


def git(repo, *args):
    return subprocess.run(["git", "-C", repo, *args], check=True, capture_output=True, text=True).stdout.strip()


class Pending:
    """The original of the file being mutated, kept on disk so a killed run can be repaired."""

    def __init__(self, path):
        self.path = path

    def restore(self):
        if os.path.exists(self.path):
            with open(self.path, encoding="utf-8") as h:
                d = json.load(h)
            with open(d["file"], "w", encoding="utf-8") as h:
                h.write(d["text"])
            os.remove(self.path)

    def hold(self, file, text):
        with open(self.path, "w", encoding="utf-8") as h:
            json.dump({"file": file, "text": text}, h)


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--seed", type=int, default=1)
    ap.add_argument("--count", type=int, default=60, help="mutants that compile (default 60)")
    ap.add_argument("--rev", help="mutate this revision in a worktree of its own with a build folder of its own")
    ap.add_argument("--build", help="build folder (default: build, or the revision's own folder with --rev)")
    ap.add_argument("--work", help="folder for worktrees, builds and logs (default build-mutants/)")
    ap.add_argument("--jobs", type=int, default=os.cpu_count() or 2)
    ap.add_argument("--time-limit", type=int, default=900, help="seconds the suite may take per mutant")
    ap.add_argument("--list", action="store_true", help="only print the sample order of the sites")
    a = ap.parse_args()

    repo = git(os.path.dirname(os.path.abspath(__file__)), "rev-parse", "--show-toplevel")
    work = os.path.abspath(a.work or os.path.join(repo, "build-mutants"))
    os.makedirs(work, exist_ok=True)
    pending = Pending(os.path.join(work, "pending.json"))
    pending.restore()

    if a.rev:
        rev = git(repo, "rev-parse", "--short", a.rev + "^{commit}")
        tree = os.path.join(work, "tree-" + rev)
        if not os.path.isdir(tree):
            git(repo, "worktree", "add", "--detach", tree, rev)
        git(tree, "checkout", "--quiet", "--detach", rev)
        build = os.path.abspath(a.build or os.path.join(work, "build-" + rev))
    else:
        rev = git(repo, "rev-parse", "--short", "HEAD")
        tree = repo
        build = os.path.abspath(a.build or os.path.join(repo, "build"))

    all_sites = sites(tree)
    rng = random.Random(a.seed)
    order = list(all_sites)
    rng.shuffle(order)
    if a.list:
        for s in order:
            print(f"{s[0]}:{s[1]}:{s[2]} {s[3]} -> {s[4]}")
        return 0

    log_path = os.path.join(work, f"result-{rev}-seed{a.seed}-count{a.count}.txt")
    log = open(log_path, "w", encoding="utf-8")

    def say(line):
        print(line, flush=True)
        log.write(line + "\n")
        log.flush()

    settings = tempfile.mkdtemp(prefix="qrx-mutants-")
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen", XDG_CONFIG_HOME=settings)
    build_cmd = ["cmake", "--build", build, "-j", str(a.jobs)]
    test_cmd = ["ctest", "--test-dir", build, "--stop-on-failure", "-j", str(a.jobs)]

    say(f"tree {tree} at {rev}, build {build}, seed {a.seed}, count {a.count}, {len(all_sites)} sites")
    if not os.path.exists(os.path.join(build, "CMakeCache.txt")):
        # Release without debug information, and lld where the machine has it: each mutant relinks
        # every program, and that, not compiling, is most of a mutant's time.
        configure = ["cmake", "-S", tree, "-B", build, "-DCMAKE_BUILD_TYPE=Release"]
        if shutil.which("ld.lld"):
            configure.append("-DCMAKE_EXE_LINKER_FLAGS=-fuse-ld=lld")
        rc, out = run(configure, env=env)
        if rc != 0:
            say(out + "\nconfigure failed")
            return 2
    started = time.time()
    rc, out = run(build_cmd, env=env)
    if rc != 0:
        say(out[-4000:] + "\nthe unmutated tree does not build")
        return 2
    rc, out = run(test_cmd, env=env, timeout=a.time_limit)
    if rc != 0:
        say(out[-4000:] + "\nthe unmutated tree does not pass its suite")
        return 2
    say(f"unmutated build and suite pass ({time.time() - started:.0f} s)")

    caught, survived, broken = [], [], []
    try:
        for rel, line, col, name, repl, pos in order:
            if len(caught) + len(survived) >= a.count:
                break
            path = os.path.join(tree, rel)
            with open(path, encoding="utf-8") as h:
                text = h.read()
            pending.hold(path, text)
            with open(path, "w", encoding="utf-8") as h:
                h.write(text[:pos] + repl + text[pos + len(name):])
            where = f"{rel}:{line}:{col} {name} -> {repl}"
            source = text.splitlines()[line - 1].strip()
            t0 = time.time()
            try:
                rc, out = run(build_cmd, env=env)
                if rc != 0:
                    broken.append(where)
                    say(f"  does not compile  {where}")
                    continue
                rc, out = run(test_cmd, env=env, timeout=a.time_limit)
                n = len(caught) + len(survived) + 1
                if rc == 0:
                    survived.append(f"{where}    {source}")
                    verdict = "SURVIVED"
                else:
                    failed = re.findall(r"\d+ - (\S+) \(", out)
                    caught.append(where)
                    verdict = "caught by " + (", ".join(failed) if failed else "the time limit" if rc is None else "ctest")
                say(f"{n:3}/{a.count} {verdict:<40} {where}  ({time.time() - t0:.0f} s)")
            finally:
                pending.restore()
    finally:
        pending.restore()
        run(build_cmd, env=env)
        compiled = len(caught) + len(survived)
        share = 100.0 * len(caught) / compiled if compiled else 0.0
        say("")
        say(f"caught {len(caught)} of {compiled} compiled mutants ({share:.1f}%), seed {a.seed}, "
            f"{len(broken)} did not compile, revision {rev}")
        say("survivors:")
        for s in survived:
            say("  " + s)
        say(f"log: {log_path}")
    return 0


if __name__ == "__main__":
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(143))
    sys.exit(main())
