#!/usr/bin/env python3
"""Runs check_layers.py on small source trees made in a temporary folder: a tree that keeps
the rules passes, and each tree with one bad include fails and names the offending line."""

import os
import subprocess
import sys
import tempfile
import unittest

CHECKER = os.path.join(os.path.dirname(os.path.abspath(__file__)), "check_layers.py")

# A tree that keeps every rule: includes downwards and within a layer, from a subfolder, a
# header beside the including file, Qt in the app and its tests.
GOOD_TREE = {
    "src/platform/path.h": "#pragma once\n#include <string>\n",
    "src/imaging/bitmap.h": '#include "platform/path.h"\n',
    "src/exif/exif_info.cpp": '#include "exif/exif_info.h"\n#include "imaging/bitmap.h"\n',
    "src/exif/exif_info.h": "#pragma once\n",
    "src/outputs/reduce.cpp": '#include "exif/exif_info.h"\n#include "platform/path.h"\n',
    "src/core/sorting/detail.h": "#pragma once\n",
    "src/core/sorting/loop.cpp": ('#include "detail.h"\n#include "core/sorting/detail.h"\n'
                                  '  #  include "outputs/reduce.h"\n#include "core/ports/ui.h"\n'
                                  '#include "core/session/session.h"\n'),
    "src/core/ports/ui.h": "#pragma once\n",
    "src/core/session/session.h": '#pragma once\n#include "core/state/state.h"\n',
    "src/core/state/state.h": "#pragma once\n",
    "src/core/viewer/viewer.cpp": '#include "core/sorting/detail.h"\n',
    "src/app/main_window.cpp": ('#include <QWidget>\n#include "core/ports/ui.h"\n'
                                '#include "main_window.moc"\n'),
    "src/cli/main.cpp": '#include "cli/command.h"\n#include "core/ports/ui.h"\n',
    "src/cli/command.h": "#pragma once\n",
    "tests/app/window_test.cpp": "#include <QTest>\n",
    "tests/core/loop_test.cpp": '#include "app/main_window.h"\n',  # tests are not layered
}

# One bad file added to the good tree each: the file, its text, and the line to be reported.
BAD_FILES = [
    ("upwards", "src/exif/writer.cpp", '#include "exif/exif_info.h"\n#include "core/ports/ui.h"\n',
     "src/exif/writer.cpp:2:"),
    ("upwards from a subfolder", "src/core/sorting/bad.cpp", '#include "app/main_window.h"\n',
     "src/core/sorting/bad.cpp:1:"),
    ("app includes cli", "src/app/x.cpp", '#include "cli/command.h"\n', "src/app/x.cpp:1:"),
    ("cli includes app", "src/cli/x.cpp", '#include "app/main_window.h"\n', "src/cli/x.cpp:1:"),
    ("relative path upwards", "src/platform/x.cpp", '#include "../imaging/bitmap.h"\n',
     "src/platform/x.cpp:1:"),
    ("Qt in core", "src/core/x.cpp", "#include <string>\n#include <QString>\n",
     "src/core/x.cpp:2:"),
    ("Qt in a domain test", "tests/core/x_test.cpp", "#include <QObject>\n",
     "tests/core/x_test.cpp:1:"),
    ("Qt in a fuzzer", "fuzz/fuzz_x.cpp", "#include <QByteArray>\n", "fuzz/fuzz_x.cpp:1:"),
    ("generated header outside app", "src/core/y.cpp", '#include "y.moc"\n', "src/core/y.cpp:1:"),
    ("folder without a rank", "src/plugins/p.cpp", '#include "platform/path.h"\n',
     "src/plugins/p.cpp:1:"),
    ("core room upwards", "src/core/state/x.h", '#include "core/session/session.h"\n',
     "src/core/state/x.h:1:"),
    ("core rooms of one rank", "src/core/sorting/x.cpp", '#include "core/browse/b.h"\n',
     "src/core/sorting/x.cpp:1:"),
    ("core room without a rank", "src/core/extra/x.cpp", '#include "core/ports/ui.h"\n',
     "src/core/extra/x.cpp:1:"),
    ("core file outside a room", "src/core/loose.cpp", '#include "core/ports/ui.h"\n',
     "src/core/loose.cpp:1:"),
]


def make_tree(root, files):
    for name, text in files.items():
        path = os.path.join(root, name)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "w", encoding="utf-8") as f:
            f.write(text)


def run_checker(root):
    return subprocess.run([sys.executable, CHECKER, root], capture_output=True, text=True)


class CheckLayersTest(unittest.TestCase):
    def test_a_tree_that_keeps_the_rules_passes(self):
        with tempfile.TemporaryDirectory() as root:
            make_tree(root, GOOD_TREE)
            r = run_checker(root)
            self.assertEqual(r.returncode, 0, r.stderr)
            self.assertEqual(r.stderr, "")

    def test_each_bad_include_fails_and_is_named(self):
        for case, name, text, reported in BAD_FILES:
            with self.subTest(case), tempfile.TemporaryDirectory() as root:
                make_tree(root, {**GOOD_TREE, name: text})
                r = run_checker(root)
                self.assertEqual(r.returncode, 1, r.stderr)
                offending = [line for line in r.stderr.splitlines() if line.startswith("src/")
                             or line.startswith(("tests/", "fuzz/"))]
                self.assertEqual(len(offending), 1, r.stderr)
                self.assertTrue(offending[0].startswith(reported), r.stderr)


if __name__ == "__main__":
    unittest.main()
