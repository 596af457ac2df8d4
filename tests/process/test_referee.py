"""The referee's Renju judge, which decides black's refused moves in every
game and soak played through the referee. (Its human mode is played through
by tools/check-readme.py.)"""
import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(
    os.environ.get("KESTRIX_REFEREE", "tools/referee.py"))))
from referee import RenjuJudge  # noqa: E402


class Forbidden(unittest.TestCase):
    def test_black_moves_under_renju(self):
        # Each board: 'x' black, 'o' white, '?' the square asked about.
        cases = [
            (["xxx?xx"], "an overline"),
            (["x.x?x.x"], "a double four"),  # two fours in one line
            ([".xxx?..", "....x..", "....x..", "....x..", "......."], "a double four"),
            ([".......", ".xxx?..", "....x..", "....x..", ".......", "......."], None),
            (["xxxx?x", "....x.", "....x.", "....x.", "....x."], None),  # a five outweighs
            ([".......", "....x..", "....x..", "..xx?..", ".......", "......."], "a double three"),
            ([".......", "....x..", "....x..", ".oxx?..", ".......", "......."], None),  # capped
            # The row's three could only open at 2, which would be a double four.
            ([".........", ".........", "......x..", "......x..x", ".....xx.x.",
              ".....x.x..", ".o.xx?2...", ".........."], None),
        ]
        for rows, expected in cases:
            board = [[{"x": 1, "o": 2}.get(c, 0) for c in row.ljust(10, ".")] for row in rows]
            y = next(i for i, row in enumerate(rows) if "?" in row)
            with self.subTest(rows=rows):
                self.assertEqual(RenjuJudge(board).reason(rows[y].index("?"), y), expected)


if __name__ == "__main__":
    unittest.main()
