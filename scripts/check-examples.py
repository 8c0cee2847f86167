#!/usr/bin/env python3
"""Runs the examples of README.md and docs/*.md and compares what they print.

Marked examples:
  ```console            each "$ COMMAND" line is run; the lines below it, up to
  $ progtool ports      the next "$ ", are its expected output (stdout and
  ...                   stderr together). A line "..." stands for any lines.
  ```
  <!-- example: COMMAND -->   the fenced block right after it is COMMAND's output.
  <!-- example-setup: COMMAND -->   run, nothing compared (prepares a file).
Every ```json block must parse.

Each document runs in a sandbox of its own: HOME and the XDG folders inside
it, a copy of progtool with its own Program.ini, simulated radios linked as
/dev/ttyUSB0 (answers), /dev/ttyUSB1 (answers) and /dev/ttyUSB2 (switched
off), COM1..COM4 mapped as the shipped Program.ini maps them, and in the working folder
sample.dat and club-list.csv. Times, durations, PIDs, backup names and
temporary paths are normalised on both sides before comparing.

Usage: check-examples.py [--build DIR] [FILE.md ...]
"""
import argparse
import json
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

FENCE = re.compile(r"^( *)```(\S*)\s*$")
MARK = re.compile(r"^ *<!-- example(-setup)?: (.*) -->\s*$")

NORMALISE = [
    (re.compile(r"/dev/pts/\d+"), "/dev/pts/N"),
    (re.compile(r"\b\d{8}-\d{6}(-\d+)?"), "YYYYMMDD-HHMMSS"),
    (re.compile(r"(< )?\d+(\.\d+)? ?(s|ms|B/s)\b"), r"N \3"),
    (re.compile(r"\d+:\d\d left"), "M:SS left"),
    (re.compile(r"\bpid \d+"), "pid N"),
    (re.compile(r'"(seconds|cpu_seconds|ms|late_ms|rate|seconds_left|percent|frames)": ?[0-9.]+'), r'"\1": N'),
    (re.compile(r'"pid": \d+'), '"pid": N'),
    (re.compile(r"[ \t\r]+$", re.M), ""),
]


def normalise(text, sandbox):
    text = text.replace(sandbox + "/dev/", "/dev/")
    text = text.replace(sandbox + "/bin", "/usr/lib/tr5-programmer")
    text = text.replace(sandbox + "/home", "/home/me")
    text = text.replace(sandbox, "/tmp/sandbox")
    for pattern, repl in NORMALISE:
        text = pattern.sub(repl, text)
    return text


def matches(expected, actual):
    """Line by line; a line "..." in expected stands for any number of lines."""
    exp, act = expected.split("\n"), actual.split("\n")

    def go(i, j):
        while i < len(exp):
            if exp[i].strip() == "...":
                return any(go(i + 1, k) for k in range(j, len(act) + 1))
            if j >= len(act) or exp[i] != act[j]:
                return False
            i, j = i + 1, j + 1
        return j == len(act)

    return go(0, 0)


def parse(path):
    """Yields ('run', line, command, expected|None) and ('json', line, text)."""
    lines = open(path, encoding="utf-8").read().split("\n")
    i, pending = 0, None
    while i < len(lines):
        m = MARK.match(lines[i])
        if m:
            if m.group(1):
                yield ("run", i + 1, m.group(2), None)
            else:
                pending = (i + 1, m.group(2))
            i += 1
            continue
        f = FENCE.match(lines[i])
        if not f:
            if lines[i].strip():
                pending = None
            i += 1
            continue
        # A block inside a list item is indented as the item is.
        indent, info, start = f.group(1), f.group(2), i + 1
        i += 1
        body = []
        while i < len(lines) and not lines[i].startswith(indent + "```"):
            body.append(lines[i][len(indent):] if lines[i].startswith(indent) else lines[i])
            i += 1
        i += 1
        if info == "json":
            yield ("json", start, "\n".join(body))
        if pending:
            yield ("run", pending[0], pending[1], "\n".join(body))
            pending = None
        elif info == "console":
            cmd, out, at = None, [], start
            for n, line in enumerate(body):
                if line.startswith("$ "):
                    if cmd is not None:
                        yield ("run", at, cmd, "\n".join(out))
                    cmd, out, at = line[2:], [], start + n + 1
                else:
                    out.append(line)
            if cmd is not None:
                yield ("run", at, cmd, "\n".join(out))


class Sandbox:
    RADIOS = [("ttyUSB0", []), ("ttyUSB1", []), ("ttyUSB2", ["--fault", "silent"])]

    def __init__(self, build):
        self.dir = os.path.realpath(tempfile.mkdtemp(prefix="examples."))
        d = self.dir
        for sub in ("bin", "dev", "sys", "run", "home/.config", "home/.local/share"):
            os.makedirs(os.path.join(d, sub), mode=0o700)
        bindir = os.path.join(build, "bin")
        shutil.copy2(os.path.join(bindir, "progtool"), os.path.join(d, "bin"))
        shutil.copytree(os.path.join(ROOT, "res", "stock"), os.path.join(d, "bin", "stock"))
        ini = open(os.path.join(bindir, "Program.ini"), encoding="utf-8", errors="replace").read()
        ini = re.sub(r"(?m)^(COM\d=)/dev/", r"\g<1>" + d + "/dev/", ini)
        open(os.path.join(d, "bin", "Program.ini"), "w", encoding="utf-8").write(ini)
        sample = os.path.join(ROOT, "res", "samples", "sample.dat")
        shutil.copy2(sample, os.path.join(d, "home", "sample.dat"))
        shutil.copy2(os.path.join(ROOT, "tests", "data", "csv", "club-legacy.csv"),
                     os.path.join(d, "home", "club-list.csv"))
        self.env = {k: v for k, v in os.environ.items() if not k.startswith(("XDG_", "PROG_"))}
        self.env.update(HOME=os.path.join(d, "home"), PATH=os.path.join(d, "bin") + ":" + os.environ["PATH"],
                        PROG_DEVICE_ROOT=d, TZ="UTC", LC_ALL="C.UTF-8", COLUMNS="80",
                        XDG_RUNTIME_DIR=os.path.join(d, "run"))
        self.radios = []
        for name, args in self.RADIOS:
            link = os.path.join(d, "dev", name)
            p = subprocess.Popen([os.path.join(d, "bin", "progtool"), "simulate", "--link", link, "--image", sample]
                                 + args, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, env=self.env)
            self.radios.append(p)
            for _ in range(50):
                if os.path.islink(link):
                    break
                time.sleep(0.1)
            else:
                raise RuntimeError("the simulated radio %s did not start" % name)

    def run(self, command):
        command = command.replace("/dev/tty", self.dir + "/dev/tty")
        p = subprocess.run(["bash", "-c", command], cwd=os.path.join(self.dir, "home"), env=self.env,
                           stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, timeout=120)
        return p.stdout.decode("utf-8", "replace").rstrip("\n")

    def close(self):
        for p in self.radios:
            p.send_signal(signal.SIGINT)
        for p in self.radios:
            try:
                p.wait(10)
            except subprocess.TimeoutExpired:
                p.kill()
        shutil.rmtree(self.dir, ignore_errors=True)


def check(path, build):
    failures, count = [], 0
    items = list(parse(path))
    if not items:
        return failures, count
    box = None
    try:
        for item in items:
            rel = os.path.relpath(path, ROOT)
            if item[0] == "json":
                count += 1
                try:
                    json.loads(item[2])
                except ValueError as e:
                    failures.append("%s:%d: the json block does not parse: %s" % (rel, item[1], e))
                continue
            _, line, command, expected = item
            box = box or Sandbox(build)
            actual = normalise(box.run(command), box.dir)
            if expected is None:
                continue
            count += 1
            want = normalise(expected.rstrip("\n"), box.dir)
            if not matches(want, actual):
                failures.append("%s:%d: $ %s\n--- shown\n%s\n--- printed today\n%s" % (rel, line, command, want, actual))
    finally:
        if box:
            box.close()
    return failures, count


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    ap.add_argument("--build", default=os.path.join(ROOT, "build"))
    ap.add_argument("files", nargs="*")
    a = ap.parse_args()
    files = a.files or [os.path.join(ROOT, "README.md")] + sorted(
        os.path.join(ROOT, "docs", f) for f in os.listdir(os.path.join(ROOT, "docs")) if f.endswith(".md"))
    if not os.access(os.path.join(a.build, "bin", "progtool"), os.X_OK):
        sys.exit("check-examples: %s/bin/progtool is missing: build it first" % a.build)
    failures, count = [], 0
    for f in files:
        fl, n = check(os.path.abspath(f), os.path.abspath(a.build))
        failures += fl
        count += n
    for f in failures:
        print(f, file=sys.stderr)
    print("check-examples: %d example(s), %d differ" % (count, len(failures)))
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
