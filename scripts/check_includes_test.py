#!/usr/bin/env python3
"""Runs check_includes.py on a small fixture tree: every kind of offence is reported with its file,
and what the rule allows passes."""
import os
import subprocess
import sys
import tempfile

SCRIPT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "check_includes.py")

ALLOWED = {
    "support/Text.h": '#include <string>\n#include "support/Other.h"\n',
    "data/Store.cpp": '#include "data/Store.h"\n#include "protocol/Setting.h"\n#include "support/Text.h"\n',
    "controller/Run.cpp": '#include <QObject>\n#include "files/DataFile.h"\n',
    "dialogs/OffsetDlg.cpp": '#include <QDialog>\n#include "controller/ShortMeasurementExecutable.h"\n',
    "recorder/Recorder.cpp": '#include "controller/Controller.h"\n#include "recorder/Options.h"\n',
    "plot/PlotMain.cpp": '#include "display/Graph.h"\n#include "plot/Options.h"\n',
    "app/MainDlg.cpp": '#include "dialogs/OffsetDlg.h"\n#include "controller/Controller.h"\n',
    # The counterpart window: Qt, over the engine and the dialogs; the application above it.
    "counterpartwin/OppositeDlg.cpp": '#include <QDialog>\n#include "counterpart/Session.h"\n'
    '#include "dialogs/OffsetDlg.h"\n',
    "app/main.cpp": '#include "counterpartwin/OppositeDlg.h"\n',
    # A relative include within the folder, and a commented-out one, are fine.
    "files/Writer.cpp": '#include "Writer.h"\n// #include "app/MainDlg.h"\n',
    "files/Writer.h": "#pragma once\n",
}

OFFENDING = {
    # file: the words its message must name
    "data/Up.cpp": ['"controller/Controller.h"', "controller", "above data"],
    "display/Up.cpp": ['"app/MainDlg.h"', "from app", "above display"],
    # The programs stand side by side: none includes another's folder.
    "app/Record.cpp": ['"recorder/Options.h"', "program recorder", "beside app"],
    "plot/Options.cpp": ['"app/MainDlg.h"', "program app", "beside plot"],
    "support/Window.cpp": ["<QObject>", "support"],
    "counterpart/Timer.h": ["<QtCore/QTimer>", "counterpart"],
    "display/Graph.cpp": ['"dialogs/OffsetDlg.h"', "above display"],
    "link/Relative.cpp": ['"../files/Writer.h"', "above link"],
    "counterpart/Engine.cpp": ['"counterpartwin/OppositeDlg.h"', "counterpartwin", "above counterpart"],
    "dialogs/Prompt.cpp": ['"counterpartwin/OppositeDlg.h"', "above dialogs"],
}
OFFENDING_TEXT = {
    "data/Up.cpp": '#include <vector>\n#include "controller/Controller.h"\n',
    "display/Up.cpp": '#include "app/MainDlg.h"\n',
    "app/Record.cpp": '#include "recorder/Options.h"\n',
    "plot/Options.cpp": '#include "app/MainDlg.h"\n',
    "support/Window.cpp": "#include <QObject>\n",
    "counterpart/Timer.h": "#pragma once\n#include <QtCore/QTimer>\n",
    "display/Graph.cpp": '#include "dialogs/OffsetDlg.h"\n',
    "link/Relative.cpp": '#include "../files/Writer.h"\n',
    "counterpart/Engine.cpp": '#include "counterpartwin/OppositeDlg.h"\n',
    "dialogs/Prompt.cpp": '#include "counterpartwin/OppositeDlg.h"\n',
}


def write_tree(root, files):
    for path, text in files.items():
        full = os.path.join(root, "src", path)
        os.makedirs(os.path.dirname(full), exist_ok=True)
        with open(full, "w", encoding="utf-8") as out:
            out.write(text)


def run(root):
    return subprocess.run([sys.executable, SCRIPT, os.path.join(root, "src")], capture_output=True, text=True)


def main():
    failures = []
    with tempfile.TemporaryDirectory() as clean:
        write_tree(clean, ALLOWED)
        result = run(clean)
        if result.returncode != 0 or result.stderr:
            failures.append("a tree within the rule failed:\n" + result.stderr)
    with tempfile.TemporaryDirectory() as broken:
        write_tree(broken, {**ALLOWED, **OFFENDING_TEXT})
        result = run(broken)
        if result.returncode != 1:
            failures.append("exit status %d for a tree that breaks the rule" % result.returncode)
        lines = [line for line in result.stderr.splitlines() if line.startswith("src/")]
        for path, words in OFFENDING.items():
            named = [line for line in lines if line.startswith("src/" + path + ":")]
            if len(named) != 1 or not all(word in named[0] for word in words):
                failures.append("%s not reported as expected:\n%s" % (path, result.stderr))
        if len(lines) != len(OFFENDING):
            failures.append("reported more than the offending files:\n" + result.stderr)
    for failure in failures:
        print("check_includes_test: " + failure, file=sys.stderr)
    if not failures:
        print("check_includes_test: every offence of the fixture tree reported, the rest passed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
