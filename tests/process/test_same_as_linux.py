"""The Windows build must answer the fuzzer's seed inputs, moves left out, with the very same
lines as the Linux build, which KESTRIX_LINUX_ENGINE names (tools/check-windows.sh sets it).
Without it, as in the Linux build itself, the test is skipped.
"""

import os
import shlex
import subprocess
import unittest

from test_engine import converse, lines_of

LINUX_ENGINE = os.environ.get("KESTRIX_LINUX_ENGINE", "")
CORPUS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "fuzz", "corpus")
# Moves depend on the clock and ABOUT on the build date: those commands are
# left out, judged by their first word as the engine judges it.
LEFT_OUT = (b"begin", b"turn", b"board", b"about")


def without_moves(text):
    return b"\n".join(line for line in text.split(b"\n")
                      if not line.split() or line.split()[0][:20].lower() not in LEFT_OUT)


@unittest.skipUnless(LINUX_ENGINE, "no Linux build to compare with (KESTRIX_LINUX_ENGINE)")
class SameAsLinuxBuild(unittest.TestCase):
    def test_answers_to_the_fuzzer_corpus_match_line_for_line(self):
        for name in sorted(os.listdir(CORPUS)):
            with open(os.path.join(CORPUS, name), "rb") as seed:
                text = without_moves(seed.read())
            status, output = converse(text)
            done = subprocess.run(shlex.split(LINUX_ENGINE), input=text, capture_output=True,
                                  timeout=30)
            self.assertEqual(status, done.returncode, name)
            self.assertEqual(lines_of(output), done.stdout.decode("latin-1").split("\n")[:-1],
                             name)


if __name__ == "__main__":
    unittest.main()
