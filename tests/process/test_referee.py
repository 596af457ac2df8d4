"""The referee's human mode: a person's squares come from standard input.

Piped input stands for the person. Against a brain with fixed answers the
referee must refuse what is not a free square (and, under Renju, black's
forbidden moves) and go on. The forbidden-move judge is also checked on its
own. (A whole game against the engine is played by tools/check-readme.py,
which feeds the README's human-play command every square in turn.)
"""
import os
import re
import subprocess
import sys
import tempfile
import unittest

REFEREE = os.environ.get("KESTRIX_REFEREE", "tools/referee.py")
sys.path.insert(0, os.path.dirname(os.path.abspath(REFEREE)))
from referee import RenjuJudge  # noqa: E402

# A brain that answers its n-th move with 2n,0: stones with gaps, never a five.
FIXED_BRAIN = (
    "import sys\n"
    "n = 0\n"
    "for line in sys.stdin:\n"
    "    word = line.split()[0].upper() if line.split() else ''\n"
    "    if word in ('START', 'RECTSTART'): print('OK', flush=True)\n"
    "    if word in ('BEGIN', 'TURN'):\n"
    "        print(f'{2 * n},0', flush=True)\n"
    "        n += 1\n"
    "    if word == 'END': break\n")


def referee(engine, typed, *options):
    done = subprocess.run([sys.executable, REFEREE, "--engine", engine, *options],
                          input=typed, capture_output=True, text=True, timeout=300)
    return done.returncode, done.stdout + done.stderr


class HumanMode(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.brain = os.path.join(tempfile.mkdtemp(), "fixed_brain.py")
        with open(cls.brain, "w") as script:
            script.write(FIXED_BRAIN)
        cls.brain_command = f"{sys.executable} {cls.brain}"

    def test_refusals_then_a_five(self):
        # Black builds 7,7 8,7 and 9,8 9,9; 9,7 would then make two open
        # threes, which Renju forbids to black.
        typed = "h8\n8,7\nj9\n9 9\n9,7\n7,7\nzz\n20,3\np1\n\n6,7\n5,7\ne8\n"
        status, output = referee(self.brain_command, typed, "--human", "black", "--rule", "4")
        self.assertEqual(status, 0, output)
        for refusal in ("9,7 (j8) is forbidden to black under Renju: a double three",
                        "7,7 (h8) is taken", "not a square: 'zz'",
                        "20,3 is off the board", "p1 is off the board"):
            self.assertIn(refusal, output)
        self.assertIn("result: black wins with a five at 4,7 after 13 moves", output)
        self.assertIn("you win", output)
        self.assertEqual(len(re.findall(r"^ +\d+ +(black|white) ", output, re.M)), 13, output)

    def test_the_end_of_the_input_leaves_the_game_unfinished(self):
        status, output = referee(self.brain_command, "h8\n", "--human", "white")
        self.assertEqual(status, 3, output)
        self.assertIn("unfinished: you left the game after 3 moves", output)


class Forbidden(unittest.TestCase):
    def test_black_moves_under_renju(self):
        # Each board: 'x' black, 'o' white, '?' the square asked about.
        cases = [
            (["xxx?xx"], "an overline"),
            (["x.x?x.x"], "a double four"),  # two fours in one line
            ([".xxx?..", "....x..", "....x..", "....x..", "......."], "a double four"),
            (["........", ".xxx?...", "....x...", "....x...", "........", "........"],
             None),  # a four and a three
            (["xxxx?x", "....x.", "....x.", "....x.", "....x."], None),  # a five outweighs
            (["........", "....x...", "....x...", "..xx?...", "........", "........"],
             "a double three"),
            (["........", "....x...", "....x...", ".oxx?...", "........", "........"],
             None),  # capped
            # The row's three could only open at 2, which would be a double four.
            (["..........", "..........", "......x...", "......x..x", ".....xx.x.",
              ".....x.x..", ".o.xx?2...", "..........", ".........."], None),
        ]
        for rows, expected in cases:
            board = [[{"x": 1, "o": 2}.get(c, 0) for c in row] for row in rows]
            y = next(i for i, row in enumerate(rows) if "?" in row)
            with self.subTest(rows=rows):
                self.assertEqual(RenjuJudge(board).reason(rows[y].index("?"), y), expected)


if __name__ == "__main__":
    unittest.main()
