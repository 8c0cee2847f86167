#!/usr/bin/env python3
"""The build's include checks against small trees with deliberate bad includes:
each must fail on its bad include, naming the file and the include, and pass a
clean tree.

Usage: test_include_checks.py CMAKE REPOSITORY_ROOT
"""
import os
import subprocess
import sys
import tempfile

CMAKE, ROOT = sys.argv[1], sys.argv[2]


def layers(tree):
    return [CMAKE, f"-DROOT={tree}", "-P", f"{ROOT}/cmake/CheckLayers.cmake"]


def no_qt(tree):
    return [CMAKE, f"-DDIR={tree}/core", "-P", f"{ROOT}/cmake/CheckNoQt.cmake"]


def platform(tree):
    return [CMAKE, f"-DROOT={tree}", "-P", f"{ROOT}/cmake/CheckPlatform.cmake"]


def cycles(tree):
    return [sys.executable, f"{ROOT}/scripts/check-include-cycles.py", tree]


# check, files of the tree, the text the failure must show (None: it passes)
CASES = [
    (layers, {"core/a.h": "#include <gui/app/CommandIds.h>"}, "core/a.h: #include <gui/app/CommandIds.h>"),
    (layers, {"core/a.h": '#include "core/../gui/app/CommandIds.h"'}, '#include "core/../gui/app/CommandIds.h"'),
    (layers, {"core/a.cpp": '#  include "gui/app/CommandIds.h"'}, 'core/a.cpp: #include "gui/app/CommandIds.h"'),
    (layers, {"gui/app/A.cpp": "#include <gui/frame/MainFrame.h>"}, "(gui/app/ includes only core/ bridge/ report/ gui/app/)"),
    (layers, {"core/a.inl": "#include <report/ReportPrinter.h>"}, "core/a.inl: #include <report/ReportPrinter.h>"),
    # The bridge sits between the core and the report: it knows neither the report nor a window.
    (layers, {"bridge/A.cpp": '#include "report/ReportPrinter.h"'}, 'bridge/A.cpp: #include "report/ReportPrinter.h"'),
    # The core's rooms, bottom up: files, app, radio, editor, exchange; link beside editor.
    (layers, {"core/radio/A.cpp": '#include "core/exchange/CsvChannels.h"'},
     "core/radio/A.cpp: #include \"core/exchange/CsvChannels.h\" (core/radio/ includes only core/platform/ core/files/ core/app/ core/radio/)"),
    (layers, {"core/files/A.h": "#include <core/app/Globals.h>"}, "core/files/A.h: #include <core/app/Globals.h>"),
    (layers, {"core/link/A.cpp": '#include "core/editor/CellCommit.h"'}, '#include "core/editor/CellCommit.h"'),
    (layers, {"core/exchange/A.cpp": '#include "core/editor/CellCommit.h"\n#include "core/files/Csv.h"',
              "core/a.h": '#include "core/link/Fleet.h"'}, None),
    (layers, {"core/files/A.cpp": '#include "core/platform/Files.h"', "core/platform/A.h": "#include <core/files/A.h>"},
     "core/platform/A.h: #include <core/files/A.h>"),
    (layers, {"core/a.h": '#include <vector>\n#include <core/b.h>\n#include "core/./b.h"',
              "tests/t.cpp": "#include <gui/frame/MainFrame.h>"}, None),
    (no_qt, {"core/a.cpp": '#include <QString>\n#include "qglobal.h"'}, 'core/a.cpp: #include "qglobal.h"'),
    (no_qt, {"core/a.inl": '#include "qglobal.h"'}, '#include "qglobal.h"'),
    (no_qt, {"core/a.h": "#include <vector>"}, None),
    # The operating system is called from core/platform/posix/ and win32/ only.
    (platform, {"core/link/A.cpp": "#include <termios.h>"}, "core/link/A.cpp: #include <termios.h>"),
    (platform, {"gui/app/A.cpp": "#  include <sys/stat.h>"}, "gui/app/A.cpp: # include <sys/stat.h>"),
    (platform, {"cli/a.cpp": "#include <Windows.h>"}, "cli/a.cpp: #include <Windows.h>"),
    (platform, {"core/platform/A.h": "#include <csignal>"}, "core/platform/A.h: #include <csignal>"),
    (platform, {"core/platform/posix/A.cpp": "#include <unistd.h>", "core/platform/win32/A.cpp": "#include <windows.h>",
                "core/a.cpp": "#include <cerrno>\n#include <cstdio>\n#include \"sys/x.h\"", "tests/t.cpp": "#include <unistd.h>"},
     None),
    (cycles, {"gui/app/A.h": "#include <gui/app/B.h>", "gui/app/B.cpp": '#include "gui/app/A.h"'},
     "CYCLE: gui/app/A -> gui/app/B -> gui/app/A"),
    (cycles, {"gui/app/A.h": '#include "gui/frame/../app/B.h"', "gui/app/B.h": "#include <gui/app/A.h>"},
     "CYCLE: gui/app/A -> gui/app/B -> gui/app/A"),
    (cycles, {"gui/app/A.h": "#include <gui/app/B.h>", "gui/app/B.h": "#include <vector>"}, None),
]

failed = 0
for check, files, shown in CASES:
    with tempfile.TemporaryDirectory() as tree:
        for path, text in {"gui/main.cpp": "", **files}.items():
            os.makedirs(os.path.dirname(os.path.join(tree, path)), exist_ok=True)
            with open(os.path.join(tree, path), "w") as f:
                f.write(text + "\n")
        run = subprocess.run(check(tree), capture_output=True, text=True)
    # CMake wraps its messages: compare with the line breaks taken out.
    out = " ".join((run.stdout + run.stderr).split())
    ok = run.returncode == 0 if shown is None else run.returncode != 0 and shown in out
    if not ok:
        failed += 1
        print(f"FAIL {check.__name__} {files}: status {run.returncode}, expected "
              f"{'a pass' if shown is None else repr(shown)}\n{run.stdout}{run.stderr}")
print(f"{len(CASES) - failed} of {len(CASES)} cases as expected")
sys.exit(1 if failed else 0)
