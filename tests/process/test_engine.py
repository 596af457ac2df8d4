"""What only the whole engine process shows, as managers see it. ctest sets KESTRIX_ENGINE (Wine
first for a Windows build), KESTRIX_LINE_END (LF or CRLF) and KESTRIX_REFEREE."""

import os
import pty
import re
import select
import shlex
import subprocess
import sys
import termios
import time
import unittest

ENGINE_COMMAND = os.environ.get("KESTRIX_ENGINE", "build/release/pbrain-kestrix")
ENGINE = shlex.split(ENGINE_COMMAND)
LINE_END = {"LF": b"\n", "CRLF": b"\r\n"}[os.environ.get("KESTRIX_LINE_END", "LF")]
REFEREE = os.environ.get("KESTRIX_REFEREE", "tools/referee.py")


def converse(text, timeout=30):
    """Sends all of text, closes the input, returns (status, raw output)."""
    data = text if isinstance(text, bytes) else text.encode("latin-1")
    done = subprocess.run(ENGINE, input=data, capture_output=True, timeout=timeout)
    return done.returncode, done.stdout


def lines_of(output):
    """The answer lines; each ends with exactly LINE_END, no other CR or LF."""
    assert output == b"" or output.endswith(LINE_END), output[-40:]
    lines = output.split(LINE_END)[:-1]
    assert not any(b"\r" in line or b"\n" in line for line in lines), lines
    return [line.decode("latin-1") for line in lines]


class Dialogues(unittest.TestCase):
    def test_a_session_through_the_pipes(self):
        # Input in CRLF and LF alike; no warning on a pipe, so the first line
        # out is the ABOUT answer, which a tournament runner takes as the name.
        status, output = converse("ABOUT\r\nSTART 15\nbogus  line\r\nBEGIN\r\nEND\r\n")
        self.assertEqual(status, 0)
        lines = lines_of(output)
        self.assertRegex(lines[0], r'^name="Kestrix", version="\d{8}", author="[^",=]+", '
                                   r'country="[^",=]+", email="[^",=]+"$')
        self.assertEqual(lines[1:], ["OK", "UNKNOWN bogus  line", "7,7"])

    def test_a_console_gets_the_warning_then_the_engine_carries_on(self):
        try:
            leader, follower = pty.openpty()
        except OSError as error:
            self.skipTest(f"no pseudo-terminal here: {error}")
        proc = subprocess.Popen(ENGINE, stdin=follower, stdout=subprocess.PIPE)
        if not select.select([proc.stdout], [], [], 20)[0]:
            proc.kill()
            proc.wait()
            self.fail("no warning on a terminal")
        warning = proc.stdout.readline()
        # A Windows console (Wine's) sets raw mode when it starts reading: wait for it.
        deadline = time.monotonic() + (10 if LINE_END == b"\r\n" else 0)
        while termios.tcgetattr(follower)[3] & termios.ICANON and time.monotonic() < deadline:
            time.sleep(0.01)
        os.close(follower)
        # Enter is CR, which a POSIX terminal hands on as LF, a Windows console as CRLF.
        os.write(leader, b"START 15\rEND\r")
        output, _ = proc.communicate(timeout=20)
        os.close(leader)
        self.assertEqual(proc.returncode, 0)
        self.assertEqual(lines_of(warning + output), [
            "MESSAGE Gomoku AI should not be started directly. Please install gomoku manager "
            "(https://sourceforge.net/projects/piskvork). Then enter path to this exe file in "
            "players settings.", "OK"])

    def test_show_detail_reports_the_iterations_before_the_move(self):
        # Off by default and after show_detail 0. On: a line per iteration, the
        # last one's line from the move played; a proven win says so.
        board = "BOARD\n7,7,1\n8,8,2\n6,8,1\n8,6,2\nDONE\n"
        win = "BOARD\n7,7,1\n8,7,1\n6,9,1\n6,10,1\n0,0,2\n14,14,2\n0,14,2\nDONE\n"
        outputs = [lines_of(converse(f"START 15\nINFO timeout_turn 500\n{detail}{board}{win}")[1])
                   for detail in ("", "INFO show_detail 1\nINFO show_detail 0\n",
                                  "INFO show_detail 1\n")]
        self.assertEqual([len(lines) for lines in outputs[:2]], [3, 3])
        *searched, move, proven, last = outputs[2][1:]
        reports = [re.fullmatch(r"MESSAGE depth (\d+) score (-?\d+|win|loss) nodes \d+ time \d+ "
                                r"pv ((?:\d+,\d+ ?)+)", line) for line in searched]
        self.assertTrue(reports and all(reports), searched)
        self.assertEqual([int(r[1]) for r in reports], list(range(1, len(reports) + 1)))
        self.assertEqual(reports[-1][3].split()[0], move)
        self.assertRegex(proven, r"^MESSAGE depth 1 score win nodes \d+ time \d+ pv 6,7$")
        self.assertEqual(last, "6,7")

    def test_a_game_through_the_referee(self):
        # The referee fails on an illegal or late move, an ERROR or UNKNOWN answer or a crash.
        done = subprocess.run(
            [sys.executable, REFEREE, "--quiet", *["--engine", ENGINE_COMMAND] * 2, "--width", "12",
             "--height", "7", "--rule", "4", "--style", "board", "--timeout-match", "60000"],
            capture_output=True, text=True, timeout=300)
        self.assertEqual(done.returncode, 0, done.stdout)
        self.assertRegex(done.stdout, r"result: (black|white) wins|result: draw")


if __name__ == "__main__":
    unittest.main()
