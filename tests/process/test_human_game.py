"""The referee's game against a person, played through a pseudo-terminal as a person plays it, and
its Renju judge naming the lines of a refused move."""

import os
import pty
import runpy
import select
import subprocess
import sys
import time
import types
import unittest

from test_engine import ENGINE_COMMAND, REFEREE

# The referee's own functions, loaded from its file without running its game.
referee = types.SimpleNamespace(**runpy.run_path(REFEREE, run_name="referee"))


class HumanGame(unittest.TestCase):
    def test_one_board_per_exchange_and_a_square_off_the_board(self):
        leader, follower = pty.openpty()
        proc = subprocess.Popen(
            [sys.executable, REFEREE, "--engine", ENGINE_COMMAND, "--human", "black", "--size",
             "9", "--timeout-turn", "300"], stdin=follower, stdout=follower, stderr=follower)
        os.close(follower)
        screens = []
        for typed, end in (("-1,4", b"q to quit): "), ("e5", b"q to quit): "),
                           ("q", b"q to quit): "), (None, b"left the game")):
            # What the terminal shows until the prompt, or the program's exit.
            seen, deadline = b"", time.monotonic() + 120
            while end not in seen and time.monotonic() < deadline:
                if select.select([leader], [], [], 1)[0]:
                    try:
                        seen += os.read(leader, 4096)
                    except OSError:
                        break
            screens.append(seen.decode().replace("\r", ""))
            if typed:
                os.write(leader, typed.encode() + b"\r")
        self.assertEqual(proc.wait(timeout=30), 3)
        os.close(leader)
        self.assertIn("-1,4 is off the board", screens[1])
        # The person's move and the engine's reply, then one board.
        self.assertRegex(screens[2], r"1  black  4,4 \(e5\).*\n +2  white  \d,\d \(\w\d\)")
        self.assertEqual([screen.count("a  b  c") for screen in screens], [1, 0, 1, 0])

    def test_a_refused_renju_move_names_its_lines(self):
        # Black's stones, and why black may not play h8 then.
        for stones, reason in [
                ("g8 i8 g7 i9", "a double three: the row through g8, h8, i8 and the diagonal "
                                "through g7, h8, i9"),
                ("e8 f8 g8 h5 h6 h7", "a double four: the row through e8, f8, g8, h8 and the "
                                      "column through h5, h6, h7, h8"),
                ("e8 f8 g8 i8 j8", "an overline: the row through e8, f8, g8, h8, i8, j8")]:
            board = [[0] * 15 for _ in range(15)]
            for name in stones.split():
                x, y = referee.parse_square(name, 15, 15)
                board[y][x] = 1
            self.assertEqual(referee.RenjuJudge(board).reason(7, 7), reason, stones)

if __name__ == "__main__":
    unittest.main()
