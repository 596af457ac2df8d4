"""Whole games of searched moves, Kestrix against Kestrix, through the referee.

Every rule on 15 x 15 and 20 x 20 at a short turn limit: each move must be
legal and arrive within the limit (plus a little for the pipes), and each game
must end with a five or a full board.
"""
import os
import shlex
import subprocess
import sys
import unittest

ENGINE = os.environ.get("KESTRIX_ENGINE", "pbrain-kestrix")
# Under an emulator (more than one word) each answer crosses more pipes.
TOLERANCE_MS = "150" if len(shlex.split(ENGINE)) > 1 else "50"
REFEREE = os.environ.get("KESTRIX_REFEREE", "tools/referee.py")


class SearchedGames(unittest.TestCase):
    def test_every_rule_plays_to_the_end_in_time(self):
        for rule in (0, 1, 4):
            for size in (15, 20):
                with self.subTest(rule=rule, size=size):
                    done = subprocess.run(
                        [sys.executable, REFEREE, "--quiet", "--engine", ENGINE, "--engine", ENGINE,
                         "--size", str(size), "--rule", str(rule), "--timeout-turn", "200",
                         "--tolerance", TOLERANCE_MS],
                        capture_output=True, text=True, timeout=600)
                    self.assertEqual(done.returncode, 0, done.stdout + done.stderr)
                    self.assertRegex(done.stdout, r"result: (black|white) wins with a five|"
                                                  r"result: draw")


if __name__ == "__main__":
    unittest.main()
