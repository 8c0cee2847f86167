#!/usr/bin/env python3
"""Every progtool command that takes a file or a port, against hostile paths
and hostile standard streams. What must hold whatever it is given:

  - it ends (a FIFO or a device must not hold it up);
  - the documented exit status; output lost once the work was done gives 3,
    unless the output was the work (then the command's failure); a stream
    nothing is printed to costs nothing;
  - no file it was given changes unless the command succeeds at changing it;
  - no partial or stray file is left: only the expected output appears;
  - a failure names what failed (the path or port, or standard output);
  - with --json exactly one JSON document on stdout ("ok": false on failure);
  - a radio holds what it held (nothing but the given image is written) and
    still answers after a run whose output was cut off.

A new command, or a new option that names a file or a port, gets a line in
VARIANTS. Usage: hostile_matrix.py PROGTOOL SOURCE_DIR
"""
import concurrent.futures
import dataclasses
import hashlib
import json
import os
import queue
import re
import shutil
import signal
import stat
import subprocess
import sys
import tempfile
import time
from pathlib import Path
from typing import Callable, Optional

PT = os.path.abspath(sys.argv[1])
INI = str(Path(PT).parent / "Program.ini")  # the settings progtool reads, beside it
SAMPLE = (Path(sys.argv[2]) / "res/samples/sample.dat").read_bytes()
WORK = Path(tempfile.mkdtemp(prefix="hostile-"))
FIX = WORK / "fixtures"
WORKERS = 3
# A runtime folder of its own: without one Qt warns on stderr, which would
# make a closed stderr cost print a status.
ENV = dict(os.environ, XDG_DATA_HOME=str(WORK / "xdg-data"), XDG_CONFIG_HOME=str(WORK / "xdg-config"),
           XDG_RUNTIME_DIR=str(WORK / "xdg-runtime"), QT_QPA_PLATFORM="offscreen", LC_ALL="C.UTF-8")


@dataclasses.dataclass
class Kind:
    name: str
    make: Callable  # (row) -> slot value: a path, or a list of arguments
    ok: bool = False  # the command succeeds with it
    status: Optional[int] = None  # a failure's status when not the command's own
    late: bool = False  # found only after the work was done: its other outputs may stay
    warns: bool = False  # succeeds with a warning naming the path and its length


def const(path):
    return lambda row: path


def dat_kinds(content, ext, read_only_ok, sizes=True, long_ok=False):
    """A file the command reads (and, unless read_only_ok, writes back); a file
    longer than an image is read with a warning where long_ok, else refused."""
    kinds = [
        Kind("missing path", lambda r: r.path("missing" + ext)),
        Kind("directory", lambda r: r.path("folder" + ext, "dir")),
        Kind("/dev/null", const("/dev/null")),
        Kind("/dev/zero", const("/dev/zero")),
        Kind("/dev/full", const("/dev/full")),
        Kind("FIFO", lambda r: r.path("fifo" + ext, "fifo")),
        Kind("0-byte file", lambda r: r.path("empty" + ext, "file")),
    ]
    if sizes:
        kinds += [Kind("8191-byte file", lambda r: r.path("short" + ext, "file", SAMPLE[:-1])),
                  Kind("8193-byte file", lambda r: r.path("long" + ext, "file", SAMPLE + b"\0"), ok=long_ok,
                       warns=long_ok)]
    return kinds + [
        Kind("read-only file", lambda r: r.path("ro" + ext, "file", content(), 0o444), ok=read_only_ok),
        Kind("symlink loop", lambda r: r.path("loop" + ext, "loop")),
        Kind("spaces, non-ASCII name", lambda r: r.path("my radio ü 电台" + ext, "file", content()), ok=True),
    ]


def out_kinds(ext, own=None, devices=True, label="its own input", dir_ok=False):
    """A file the command writes; `own` is the slot holding its input."""
    kinds = [Kind("folder missing", lambda r: r.path("nodir/out" + ext)),
             Kind("directory", lambda r: r.path("folder" + ext, "dir"), ok=dir_ok)]
    if devices:
        kinds += [Kind(d, const(d)) for d in ("/dev/null", "/dev/zero")]
    kinds += [
        Kind("/dev/full", const("/dev/full"), late=not devices),
        Kind("FIFO", lambda r: r.path("fifo" + ext, "fifo")),
        Kind("read-only file", lambda r: r.path("ro" + ext, "file", b"keep me\n", 0o444)),
        Kind("symlink loop", lambda r: r.path("loop" + ext, "loop")),
        Kind("spaces, non-ASCII name", lambda r: r.path("my out ü 输出" + ext), ok=True),
    ]
    if own:
        kinds += [Kind(label, lambda r: r.value(own)),
                  Kind(label + " via a link", lambda r: link(r.path("link" + ext), r.value(own)))]
    return kinds


def trace_kinds(own, label="its own input"):
    """Where a serial trace goes: a regular file or /dev/null, never the
    radio's own port (also as the device its link leads to) nor another device."""
    kinds = [k for k in out_kinds(".trace", own=own, devices=False, label=label) if k.name != "/dev/full"]
    return kinds + [Kind("/dev/null", const("/dev/null"), ok=True),
                    Kind("/dev/zero", const("/dev/zero")), Kind("/dev/full", const("/dev/full")),
                    Kind("the radio's port", lambda r: r.value("PORT")),
                    Kind("the radio's port's device", lambda r: os.path.realpath(r.value("PORT")))]


def link(path, target):
    os.symlink(target, path)
    return path


def twice(through_link):
    def make(r):
        first = str(r.radios[0].link)
        return [first, "--port", os.path.realpath(first) if through_link else first]
    return make


def twice_node(r):
    """The radio's device again under a node of its own (as a bind mount gives it)."""
    first = str(r.radios[0].link)
    node = r.path("radio-again")
    os.mknod(node, 0o600 | stat.S_IFCHR, os.stat(first).st_rdev)
    return [first, "--port", node]


PORT_KINDS = [
    Kind("regular file", lambda r: r.path("port.file", "file", b"not a serial port\n")),
    Kind("directory", lambda r: r.path("port.dir", "dir")),
    Kind("missing path", lambda r: r.path("no-port")),
    Kind("/dev/null", const("/dev/null")),
    Kind("FIFO", lambda r: r.path("port.fifo", "fifo")),
    Kind("the same port twice", twice(False), status=2),
    Kind("the same port twice, once by its link", twice(True), status=2),
] + ([Kind("the same port twice, once by a second device node", twice_node, status=2)] if os.geteuid() == 0 else [])


def user_backups(with_plan):
    """A folder of the user's: dated files named like backups (and the plan among them)."""
    def make(r):
        folder = r.path("club", "dir")
        for i in range(60):
            r.path(f"club/2019{1 + i // 28:02}{1 + i % 28:02}-000000-member{i}.dat", "file", SAMPLE)
        if with_plan:
            r.values["DAT"] = r.path("club/20190101-000000-club-plan.dat", "file", SAMPLE)
        return folder
    return make


def backup_list(r, how):
    """A folder whose list of the program's backups is no file of its own: it must neither hold nor change."""
    folder = r.path("kept", "dir")
    if how == "fifo":
        r.path("kept/tr5-programmer-backups.txt", "fifo")
    else:
        link(r.path("kept/tr5-programmer-backups.txt"), r.path("notes.txt", "file", b"mine\n"))
    return folder


BACKUP_DIR = [Kind("folder missing (made)", lambda r: r.path("new-backups"), ok=True),
              Kind("regular file", lambda r: r.path("plain", "file", b"keep me\n")),
              Kind("FIFO", lambda r: r.path("fifo", "fifo")),
              Kind("the user's dated files", user_backups(False), ok=True),
              Kind("the user's dated files and the plan", user_backups(True), ok=True),
              Kind("its list of backups a FIFO", lambda r: backup_list(r, "fifo"), ok=True),
              Kind("its list of backups a link to a file of the user's", lambda r: backup_list(r, "link"), ok=True)]
DAT = dat_kinds(lambda: SAMPLE, ".dat", True, long_ok=True)
SEND = dat_kinds(lambda: SAMPLE, ".dat", True)  # sent to a radio
IO = dat_kinds(lambda: SAMPLE, ".dat", False)
CSV = dat_kinds(lambda: (FIX / "in.csv").read_bytes(), ".csv", True, sizes=False)
TRACE = dat_kinds(lambda: (FIX / "in.trace").read_bytes(), ".trace", True, sizes=False)
DIR = [Kind("folder missing", lambda r: r.path("nodir/")),
       Kind("regular file", lambda r: r.path("plain", "file", b"keep me\n") + "/"),
       Kind("FIFO", lambda r: r.path("fifo", "fifo") + "/"),
       Kind("spaces, non-ASCII name", lambda r: r.path("my radios ü 电台", "dir") + "/", ok=True)]

# How standard output and error are given: (label, stdout, stderr).
STREAMS = [
    ("as documented", "file", "file"),
    ("stdout closed", "closed", "file"),
    ("stdout /dev/full", "full", "file"),
    ("stdout a closed pipe", "pipe", "file"),
    ("stderr closed", "file", "closed"),
    ("stderr /dev/full", "file", "full"),
    ("stdout and stderr a closed pipe", "pipe", "pipe"),
]
TRANSFER_STREAMS = [STREAMS[0], STREAMS[2], STREAMS[4], STREAMS[6]]
# A trace or a data file opened while stdout or stderr is closed takes its
# descriptor: nothing meant for the terminal may land in it.
TRACE_STREAMS = [STREAMS[0], STREAMS[1], STREAMS[4]]
TRACE_OK = "decodes"
EXPORTED = lambda: (FIX / "in.csv").read_bytes()


@dataclasses.dataclass
class Variant:
    name: str
    args: list  # "{SLOT}" stands for a slot's value
    kinds: dict  # slot -> the kinds it is tried with
    defaults: dict = dataclasses.field(default_factory=dict)  # slot -> its good value (a name in the folder)
    outputs: tuple = ()  # slots written on success
    changes: tuple = ()  # slots read and written on success
    fail: int = 1
    json: bool = False
    radios: int = 0
    streams: list = dataclasses.field(default_factory=lambda: STREAMS)
    quiet: bool = False  # prints nothing on stdout on success
    notes: bool = False  # prints on stderr on success
    effect: bool = False  # its work is a file saved, a radio read or written, a radio served; not its stdout
    daemon: Optional[str] = None  # runs until stopped; the slot of the link that shows it started
    expect: dict = dataclasses.field(default_factory=dict)  # output slot -> its bytes, or TRACE_OK
    timeout: float = 5
    report: bool = False  # tells a failure on stdout too (its report names what failed)
    refused: Optional[tuple] = None  # (status, word its message names): the command line itself is refused


P, P2 = "{PORT}", "{PORT2}"
VARIANTS = [
    Variant("new --force", ["new", "{OUT}", "--force"], {"OUT": out_kinds(".dat")}, {"OUT": "out.dat"},
            outputs=("OUT",), effect=True),
    Variant("show", ["show", "{DAT}"], {"DAT": DAT}),
    Variant("show --json", ["show", "{DAT}", "--json"], {"DAT": DAT}, json=True),
    Variant("options", ["options", "{DAT}"], {"DAT": DAT}),
    Variant("options --json", ["options", "{DAT}", "--json"], {"DAT": DAT}, json=True),
    Variant("options --set", ["options", "{IO}", "--set", "squelch=7"], {"IO": IO}, {"IO": "in.dat"},
            changes=("IO",), effect=True),
    Variant("options --set -o", ["options", "{DAT}", "--set", "squelch=7", "-o", "{OUT}"],
            {"OUT": out_kinds(".dat", own="DAT")}, {"OUT": "out.dat"}, outputs=("OUT",), effect=True,
            streams=STREAMS[:1]),
    Variant("export", ["export", "{DAT}"], {"DAT": DAT}),
    Variant("export -o", ["export", "{DAT}", "-o", "{OUT}"], {"OUT": out_kinds(".csv", own="DAT")},
            {"OUT": "out.csv"}, outputs=("OUT",), quiet=True, effect=True, expect={"OUT": EXPORTED}),
    Variant("import", ["import", "{CSV}", "{IO}"],
            {"CSV": CSV, "IO": IO + [Kind("its own input", lambda r: r.value("CSV"))]}, {"IO": "target.dat"},
            changes=("IO",), notes=True, effect=True),
    # A stock list is taken by name, never as a path: only FILE.dat is hostile.
    Variant("import --stock", ["import", "--stock", "noaa-weather", "{IO}", "--merge"], {"IO": IO},
            {"IO": "target.dat"}, changes=("IO",), notes=True, effect=True),
    Variant("print --pdf", ["print", "{DAT}", "--pdf", "{OUT}"], {"DAT": DAT, "OUT": out_kinds(".pdf", own="DAT")},
            {"OUT": "out.pdf"}, outputs=("OUT",), effect=True, timeout=10),
    Variant("diff A B", ["diff", "{DAT}", "{B}"], {"DAT": DAT, "B": DAT}, {"B": "b.dat"}, fail=2),
    Variant("diff --json", ["diff", "{DAT}", "{B}", "--json"], {"DAT": DAT}, {"B": "b.dat"}, fail=2, json=True),
    Variant("diff --port", ["diff", "{DAT}", "--port", P], {"PORT": PORT_KINDS}, fail=2, radios=1, notes=True,
            streams=TRANSFER_STREAMS),
    Variant("diff --port --json", ["diff", "{DAT}", "--port", P, "--json"], {"DAT": DAT, "PORT": PORT_KINDS}, fail=2,
            json=True, radios=1, notes=True, streams=STREAMS[:1]),
    Variant("read -o", ["read", "--port", P, "-o", "{OUT}"],
            {"PORT": PORT_KINDS, "OUT": out_kinds(".dat", dir_ok=True)}, {"OUT": "out.dat"}, outputs=("OUT",), radios=1,
            notes=True, effect=True, streams=TRANSFER_STREAMS, timeout=10, expect={"OUT": lambda: SAMPLE}),
    Variant("read -o --json", ["read", "--port", P, "-o", "{OUT}", "--json"], {"PORT": PORT_KINDS},
            {"OUT": "out.dat"}, outputs=("OUT",), json=True, radios=1, notes=True, effect=True,
            streams=TRANSFER_STREAMS, timeout=10),
    Variant("read --trace", ["read", "--port", P, "-o", "{OUT}", "--trace", "{TOUT}"],
            {"TOUT": trace_kinds("OUT", "its output")},
            {"OUT": "out.dat", "TOUT": "out.trace"}, outputs=("OUT", "TOUT"), radios=1, notes=True, effect=True,
            streams=TRACE_STREAMS, timeout=10, expect={"OUT": lambda: SAMPLE, "TOUT": TRACE_OK}),
    # Progress lines go to stderr all through the transfer.
    Variant("read 2 ports -o DIR --json", ["read", "--port", P, "--port", P2, "-o", "{DIR}", "--json",
                                           "--progress=json"],
            {"PORT": PORT_KINDS, "DIR": DIR}, {"DIR": "outdir/"}, outputs=("DIR",), json=True, radios=2, notes=True,
            effect=True, streams=TRANSFER_STREAMS, timeout=10, expect={"DIR": lambda: SAMPLE}),
    Variant("write", ["write", "--port", P, "{DAT}"], {"PORT": PORT_KINDS, "DAT": SEND}, radios=1, notes=True,
            effect=True, streams=TRANSFER_STREAMS, timeout=10),
    Variant("write --json", ["write", "--port", P, "{DAT}", "--json"], {"PORT": PORT_KINDS, "DAT": SEND},
            json=True, radios=1, notes=True, effect=True, streams=STREAMS[:1], timeout=10),
    Variant("write --trace", ["write", "--port", P, "{DAT}", "--trace", "{TOUT}"],
            {"TOUT": trace_kinds("DAT")}, {"TOUT": "out.trace"}, outputs=("TOUT",),
            radios=1, notes=True, effect=True, streams=TRACE_STREAMS, timeout=10, expect={"TOUT": TRACE_OK}),
    Variant("write 2 ports --verify --json", ["write", "--port", P, "--port", P2, "{DAT}", "--verify", "--json",
                                              "--progress=json"],
            {"PORT": PORT_KINDS}, json=True, radios=2, notes=True, effect=True, streams=TRANSFER_STREAMS,
            timeout=15),
    # Without --reconcile the report is the audit's work; with it the radios written are.
    Variant("audit", ["audit", "--plan", "{DAT}", "--port", P], {"DAT": SEND, "PORT": PORT_KINDS}, radios=1,
            notes=True, streams=TRANSFER_STREAMS, timeout=10),
    Variant("audit --reconcile --json", ["audit", "--plan", "{DAT}", "--port", P, "--port", P2, "--reconcile", "all",
                                         "--json"],
            {"DAT": SEND, "PORT": PORT_KINDS}, json=True, radios=2, notes=True, effect=True,
            streams=TRANSFER_STREAMS, timeout=15),
    # The backups of a run never take a file they did not write, pruned or not.
    Variant("audit --backup-dir", ["audit", "--plan", "{DAT}", "--port", P, "--backup-dir", "{BDIR}"],
            {"BDIR": BACKUP_DIR}, {"BDIR": "backups"}, outputs=("BDIR",), radios=1, notes=True,
            streams=STREAMS[:1], timeout=10),
    Variant("audit --backup-dir --prune", ["audit", "--plan", "{DAT}", "--port", P, "--backup-dir", "{BDIR}",
                                           "--prune"],
            {"BDIR": BACKUP_DIR}, {"BDIR": "backups"}, outputs=("BDIR",), radios=1, notes=True,
            streams=STREAMS[:1], timeout=10),
    Variant("audit --prune alone", ["audit", "--plan", "{DAT}", "--port", P, "--prune"], {}, radios=1,
            streams=STREAMS[:1], refused=(2, "--prune")),
    Variant("trace", ["trace", "{TRACE}"], {"TRACE": TRACE}),
    Variant("simulate --image", ["simulate", "--image", "{DAT}", "--link", "{LINK}"], {"DAT": DAT},
            {"LINK": "sim.link"}, notes=True, effect=True, daemon="LINK"),
    Variant("simulate --save", ["simulate", "--save", "{OUT}", "--link", "{LINK}"], {"OUT": out_kinds(".dat")},
            {"OUT": "saved.dat", "LINK": "sim.link"}, outputs=("OUT",), notes=True, effect=True, daemon="LINK",
            streams=[]),
    Variant("simulate --link", ["simulate", "--link", "{LINK}"], {"LINK": out_kinds(".link")},
            {"LINK": "sim.link"}, notes=True, effect=True, daemon="LINK", streams=[]),
    # The doctor's answer is its report: a port that is no radio's is a verdict on stdout.
    Variant("doctor --port", ["doctor", "--port", P], {"PORT": PORT_KINDS}, radios=1, report=True),
    Variant("doctor --port --json", ["doctor", "--port", P, "--json"], {"PORT": PORT_KINDS}, json=True, radios=1,
            streams=STREAMS[:3]),
    Variant("doctor --trace", ["doctor", "--port", P, "--trace", "{TOUT}"], {"TOUT": trace_kinds(None)},
            {"TOUT": "out.trace"}, outputs=("TOUT",), radios=1, report=True, streams=STREAMS[:1],
            expect={"TOUT": TRACE_OK}),
    Variant("ports", ["ports"], {}),
    Variant("ports --json", ["ports", "--json"], {}, json=True),
    Variant("support-report", ["support-report", "--include-document", "{DAT}"], {"DAT": DAT}),
    Variant("support-report -o", ["support-report", "--include-document", "{DAT}", "-o", "{OUT}"],
            {"OUT": out_kinds(".txt", own="DAT")}, {"OUT": "report.txt"}, outputs=("OUT",), effect=True),
    # Not even --force saves a report over a file it quotes: the program's own settings.
    Variant("support-report -o --force", ["support-report", "-o", "{OUT}", "--force"],
            {"OUT": [Kind("its Program.ini", lambda r: INI),
                     Kind("its Program.ini via a link", lambda r: link(r.path("settings.txt"), INI))]},
            {"OUT": "report.txt"}, outputs=("OUT",), effect=True),
    Variant("support-report --json", ["support-report", "--json"], {}, json=True),
    Variant("stock", ["stock"], {}),
    Variant("stock --json", ["stock", "--json"], {}, json=True),
]


class Radio:
    """A simulated radio on a pseudo-terminal holding the sample; its memory is
    saved on SIGUSR1 so that a row can see what was written to it."""

    def __init__(self, folder, name):
        self.link, self.mem, self.err = folder / name, folder / (name + ".mem"), folder / (name + ".err")
        self.start()

    def start(self):
        with self.err.open("wb") as log:
            self.proc = subprocess.Popen([PT, "simulate", "--link", str(self.link), "--image",
                                          str(FIX / "sample.dat"), "--save", str(self.mem)],
                                         stdout=subprocess.DEVNULL, stderr=log, env=ENV, start_new_session=True)
        if not wait_for(lambda: self.link.is_symlink(), 5):
            raise SystemExit("a simulated radio did not start: " + self.err.read_text())

    def saves(self):
        return self.err.read_bytes().count(b"saved the radio's memory")

    def memory(self):
        n = self.saves()
        self.proc.send_signal(signal.SIGUSR1)
        return self.mem.read_bytes() if wait_for(lambda: self.saves() > n, 3) else b"(no answer to SIGUSR1)"

    def answers(self):
        probe = self.mem.with_suffix(".probe")
        r = subprocess.run([PT, "read", "--port", str(self.link), "-o", str(probe), "--no-backup"], env=ENV,
                           capture_output=True, timeout=15)
        return r.returncode == 0

    def stop(self):
        self.proc.send_signal(signal.SIGINT)
        self.wait()

    def wait(self):
        try:
            self.proc.wait(2)
        except subprocess.TimeoutExpired:
            self.proc.kill()
            self.proc.wait()

    def restart(self):
        self.stop()
        self.start()


def wait_for(cond, seconds):
    end = time.monotonic() + seconds
    while not cond():
        if time.monotonic() > end:
            return False
        time.sleep(0.02)
    return True


class Row:
    """One command with one hostile value, in a folder of its own."""

    def __init__(self, n, variant, slot, kind, stream):
        self.n, self.v, self.slot, self.kind, self.stream = n, variant, slot, kind, stream
        self.dir = WORK / "rows" / str(n)
        self.radios = []
        self.values = {}

    def path(self, name, how=None, data=b"", mode=0o644):
        """The path of name in the row's folder, made a file, "dir", "fifo" or "loop" first."""
        p = str(self.dir / name)
        if how == "file":
            Path(p).write_bytes(data)
            os.chmod(p, mode)
        elif how == "dir":
            os.mkdir(p)
        elif how == "fifo":
            os.mkfifo(p)
        elif how == "loop":
            os.symlink(name + ".2", p)
            os.symlink(name, p + ".2")
        return p

    def value(self, slot):
        v = self.values[slot]
        return v[0] if isinstance(v, list) else v

    def label(self):
        return self.stream[0] if self.kind is None else f"{self.slot}: {self.kind.name}"


def snapshot(folder):
    """Every entry under folder, links and FIFOs not followed: path -> (mode, content)."""
    out = {}
    for root, dirs, files in os.walk(folder):
        for name in dirs + files:
            p = os.path.join(root, name)
            st = os.lstat(p)
            if os.path.islink(p):
                what = "link " + os.readlink(p)
            elif os.path.isfile(p):
                what = hashlib.sha256(Path(p).read_bytes()).hexdigest()
            else:
                what = "dir" if os.path.isdir(p) else "special"
            out[p] = (st.st_mode, what)
    return out


def run(row, args):
    """Runs progtool with the row's streams; (status or None when it hung, stdout, stderr)."""
    out_f, err_f = row.dir.with_suffix(".out"), row.dir.with_suffix(".err")
    files, wrap = [], []

    def stream(mode, fd, path):
        if mode == "file":
            files.append(open(path, "wb"))
            return files[-1]
        if mode == "full":
            files.append(open("/dev/full", "wb"))
            return files[-1]
        if mode == "closed":
            wrap.append(f"{fd}>&-")
            return subprocess.DEVNULL
        r, w = os.pipe()
        os.close(r)
        files.append(os.fdopen(w, "wb"))
        return files[-1]

    stdout = stream(row.stream[1], 1, out_f)
    stderr = files[-1] if row.stream[1:] == ("pipe", "pipe") else stream(row.stream[2], 2, err_f)
    cmd = [PT] + args
    if wrap:
        cmd = ["sh", "-c", 'exec "$0" "$@" ' + " ".join(wrap)] + cmd
    proc = subprocess.Popen(cmd, stdout=stdout, stderr=stderr, stdin=subprocess.DEVNULL, env=ENV,
                            start_new_session=True)
    for f in files:
        f.close()
    status = None
    try:
        if row.v.daemon:
            # A simulated radio serves until stopped: stop it once its link is there.
            link = row.value(row.v.daemon)
            started = lambda: os.path.islink(link) and os.readlink(link).startswith("/dev/pts/")
            if not wait_for(lambda: started() or proc.poll() is not None, 3):
                raise subprocess.TimeoutExpired(cmd, 3)
            if proc.poll() is None:
                proc.send_signal(signal.SIGINT)
        status = proc.wait(row.v.timeout)
    except subprocess.TimeoutExpired:
        os.killpg(proc.pid, signal.SIGKILL)
        proc.wait()
    read = lambda p: p.read_text(errors="replace") if p.exists() else ""
    return status, read(out_f), read(err_f)


def check(row, radio_pool):
    """Runs one row; a list of (invariant, failure or "")."""
    v, kind, (_, out_mode, err_mode) = row.v, row.kind, row.stream
    row.dir.mkdir(parents=True)
    for name in ("in.dat", "b.dat", "target.dat", "in.csv", "in.trace"):
        shutil.copy(FIX / ("sample.dat" if name.endswith(".dat") else name), row.dir / name)
    os.mkdir(row.dir / "outdir")
    row.radios = [radio_pool.get() for _ in range(v.radios)]
    try:
        defaults = {"DAT": "in.dat", "B": "b.dat", "CSV": "in.csv", "TRACE": "in.trace", **v.defaults}
        row.values = {s: row.path(name) for s, name in defaults.items()}
        row.values.update({"PORT": [r.link for r in row.radios[:1]], "PORT2": [r.link for r in row.radios[1:2]]})
        row.values = {s: [str(x) for x in val] if isinstance(val, list) else val for s, val in row.values.items()}
        if kind:
            row.values[row.slot] = kind.make(row)
        args = []
        for a in v.args:
            m = re.fullmatch(r"\{(\w+)\}", a)
            val = row.values[m.group(1)] if m else a
            args += val if isinstance(val, list) else [val]
        before = snapshot(row.dir)
        status, out, err = run(row, args)
        after = snapshot(row.dir)
        return judge(row, before, after, status, out, err)
    finally:
        for r in row.radios:
            radio_pool.put(r)


def expected_status(v, kind, out_mode, err_mode):
    """The documented exit status: a hostile value's, or what output lost costs."""
    if kind:
        return 0 if kind.ok else kind.status or v.fail
    if v.refused:
        return v.refused[0]
    lost_out, lost_err = out_mode != "file" and not v.quiet, err_mode != "file" and v.notes
    if not lost_out and not lost_err:
        return 0
    if not v.effect:  # its answer is stdout: lost, it failed; whole, it stands
        return v.fail if lost_out else 0
    return 3


def judge(row, before, after, status, out, err):
    v, kind, (_, out_mode, err_mode) = row.v, row.kind, row.stream
    want = expected_status(v, kind, out_mode, err_mode)
    ok, worked = want == 0, want in (0, 3)
    results = []

    def inv(name, failure):
        results.append((name, failure))

    inv(f"ends within {v.timeout:g} s", "" if status is not None else "hung; killed")
    if status is None:
        return results
    inv(f"exit status {want}", "" if status == want else
        f"exit {status}" + (f" (killed by {signal.Signals(-status).name})" if status < 0 else "") +
        ("; stderr: " + err.strip().splitlines()[0][:160] if err.strip() else ""))

    # Output lost after the work was done leaves the work's results, a trace
    # that failed late may; whatever is there must be whole.
    done = worked or (kind and kind.late)
    outputs = [row.value(s) for s in v.outputs if done and not (kind and s == row.slot and not ok)]
    may_change = {row.value(s) for s in v.changes} if done else set()
    changed = [p for p, st in before.items() if after.get(p) != st and p not in may_change]
    inv("inputs unchanged", ", ".join(os.path.relpath(p, row.dir) + ("" if p in after else " (removed)")
                                      for p in changed))
    stray = [p for p in after if p not in before and not any(p == o or p.startswith(o.rstrip("/") + "/")
                                                            for o in outputs)]
    inv("no partial or stray file", ", ".join(os.path.relpath(p, row.dir) for p in stray))
    for s in v.outputs:
        if row.value(s) in outputs:
            inv(f"{s} written as expected", output_fault(row.value(s), v.expect.get(s), worked and status == want))

    if not ok and err_mode == "file":
        # The path as given, or where its links lead.
        named = ([row.value(row.slot), os.path.realpath(row.value(row.slot))] if kind else
                 [v.refused[1]] if v.refused else ["standard output"])
        text = err + (out if v.json or v.report else "")
        inv(f"message names {named[0]}", "" if any(n in text for n in named) else
            "stderr: " + (err.strip().replace("\n", " | ")[:160] or "(empty)"))
    if kind and kind.warns and err_mode == "file":
        size = str(os.path.getsize(row.value(row.slot)))
        inv(f"warning names the file and its {size} bytes", "" if row.value(row.slot) in err and size in err else
            "stderr: " + (err.strip().replace("\n", " | ")[:160] or "(empty)"))
    if v.json and out_mode == "file":
        try:
            doc = json.loads(out)
            got = doc.get("ok", True if ok else "missing")
            bad = "" if got is ok else f'"ok": {got}'
        except ValueError as e:
            bad = "stdout is empty" if not out.strip() else f"not one JSON document ({e})"
        inv("one JSON document" + ("" if ok else ' with "ok": false'), bad)

    for i, r in enumerate(row.radios):
        mem = r.memory()
        inv(f"radio {i + 1} holds what it held", "" if mem == SAMPLE else "its memory changed")
        answers = mem == SAMPLE and (out_mode != "pipe" or r.answers())
        if out_mode == "pipe":
            inv(f"radio {i + 1} answers afterwards", "" if answers else "no answer to a read")
        if not answers:
            r.restart()
    return results


def output_fault(path, expect, required):
    """What is wrong with an output ("" when nothing); one not required may be absent."""
    if not path.startswith(str(WORK)) or not required and not os.path.exists(path):
        return ""
    # A folder's FIFOs and links are the user's (inputs checked unchanged); what a command writes is a file.
    files = ([f for f in (os.path.join(path, n) for n in os.listdir(path))
              if stat.S_ISREG(os.lstat(f).st_mode) or stat.S_ISDIR(os.lstat(f).st_mode)]
             if os.path.isdir(path) else [path])
    if required and not files or not all(os.path.isfile(f) and os.path.getsize(f) for f in files):
        return "missing or empty"
    for f in files:
        if expect == TRACE_OK:
            r = subprocess.run([PT, "trace", f], env=ENV, capture_output=True, timeout=10)
            if r.returncode:
                return "does not decode: " + r.stderr.decode(errors="replace").strip()[:160]
        elif expect and Path(f).read_bytes() != expect():
            return os.path.basename(f) + " differs from what it should hold"
    return ""


def make_fixtures(radio):
    for args in (["export", str(FIX / "sample.dat"), "-o", str(FIX / "in.csv")],
                 ["read", "--port", str(radio.link), "-o", str(FIX / "read.dat"), "--no-backup", "--trace",
                  str(FIX / "in.trace")]):
        r = subprocess.run([PT] + args, env=ENV, capture_output=True, timeout=15)
        if r.returncode != 0:
            raise SystemExit("cannot make the fixtures: " + r.stderr.decode())


def main():
    os.makedirs(WORK / "radios")
    os.makedirs(WORK / "xdg-runtime", mode=0o700)
    FIX.mkdir()
    (FIX / "sample.dat").write_bytes(SAMPLE)
    rows = []
    for v in VARIANTS:
        for stream in v.streams:
            rows.append(Row(len(rows), v, None, None, stream))
        for slot, kinds in v.kinds.items():
            for kind in kinds:
                rows.append(Row(len(rows), v, slot, kind, STREAMS[0]))
    pool = queue.Queue()
    radios = []
    try:
        radios.append(Radio(WORK / "radios", "r0"))
        make_fixtures(radios[0])
        radios += [Radio(WORK / "radios", f"r{i}") for i in range(1, 2 * WORKERS)]
        for r in radios:
            pool.put(r)
        start = time.monotonic()
        with concurrent.futures.ThreadPoolExecutor(WORKERS) as ex:
            results = list(ex.map(lambda row: check(row, pool), rows))
        # A command added to progtool without its lines here fails the matrix.
        listed = subprocess.run([PT, "--help"], env=ENV, capture_output=True, text=True).stdout
        commands = re.findall(r"^  ([\w-]+) ", listed.split("Commands:")[-1], re.M)
        missing = sorted(set(commands) - {v.args[0] for v in VARIANTS})
        lines, failed = 1, bool(missing) or not commands
        print(f"{'FAIL' if failed else 'ok  '} | {'progtool --help':30} | {'every command':48} | in the matrix"
              + (f": {', '.join(missing) or 'no commands listed'} missing" if failed else ""))
        for row, res in zip(rows, results):
            for name, failure in res:
                lines += 1
                failed += bool(failure)
                print(f"{'FAIL' if failure else 'ok  '} | {row.v.name:30} | {row.label():48} | {name}"
                      + (f": {failure}" if failure else ""))
        print(f"hostile matrix: {lines} rows ({len(rows)} runs), {failed} failed, "
              f"{time.monotonic() - start:.0f} s")
        return 1 if failed else 0
    finally:
        for r in radios:
            r.proc.send_signal(signal.SIGINT)
        for r in radios:
            r.wait()
        subprocess.run(["chmod", "-R", "u+w", str(WORK)])
        shutil.rmtree(WORK, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
