"""Another build (the Linux one, for the Windows build) must answer the
fuzzer's seed inputs, moves left out, with the very same lines. It is named by
KESTRIX_REFERENCE_ENGINE (check-windows.sh sets it), its line end by
KESTRIX_REFERENCE_LINE_END (LF by default); without it the test is skipped.
"""

import os
import shlex
import subprocess
import unittest

from test_engine import converse, lines_of

REFERENCE = os.environ.get("KESTRIX_REFERENCE_ENGINE", "")
REFERENCE_LINE_END = {"LF": b"\n", "CRLF": b"\r\n"}[
    os.environ.get("KESTRIX_REFERENCE_LINE_END", "LF")]
CORPUS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "fuzz", "corpus")
# Moves depend on the clock and ABOUT on the build date: those commands are
# left out, judged by their first word as the engine judges it.
LEFT_OUT = (b"begin", b"turn", b"board", b"about")


def without_moves(text):
    return b"\n".join(line for line in text.split(b"\n")
                      if not line.split() or line.split()[0][:20].lower() not in LEFT_OUT)


@unittest.skipUnless(REFERENCE, "no reference build given (KESTRIX_REFERENCE_ENGINE)")
class SameAsReferenceBuild(unittest.TestCase):
    def test_answers_to_the_fuzzer_corpus_match_line_for_line(self):
        for name in sorted(os.listdir(CORPUS)):
            with open(os.path.join(CORPUS, name), "rb") as seed:
                text = without_moves(seed.read())
            status, output = converse(text)
            done = subprocess.run(shlex.split(REFERENCE), input=text, capture_output=True,
                                  timeout=30)
            self.assertEqual(status, done.returncode, name)
            expected = done.stdout.replace(REFERENCE_LINE_END, b"\n")
            self.assertEqual(lines_of(output), expected.decode("latin-1").split("\n")[:-1],
                             name)


if __name__ == "__main__":
    unittest.main()
