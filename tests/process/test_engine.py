"""Whole dialogues with the built engine process, as managers hold them.

KESTRIX_ENGINE is the command that starts the engine (for a Windows build
under Wine: the Wine loader, then the .exe), KESTRIX_LINE_END the line end
every answer must carry (LF or CRLF) and KESTRIX_REFEREE the referee script;
ctest sets all three. The same dialogues thus hold for every build, line for
line apart from the line end. KESTRIX_REFERENCE_ENGINE, when set, names
another build that must give the same answers (with the line end
KESTRIX_REFERENCE_LINE_END, LF by default).
"""

import os
import pty
import random
import re
import select
import shlex
import subprocess
import sys
import tempfile
import termios
import time
import unittest

ENGINE_COMMAND = os.environ.get("KESTRIX_ENGINE", "build/release/pbrain-kestrix")
ENGINE = shlex.split(ENGINE_COMMAND)
LINE_END = {"LF": b"\n", "CRLF": b"\r\n"}[os.environ.get("KESTRIX_LINE_END", "LF")]
REFEREE = os.environ.get("KESTRIX_REFEREE", "tools/referee.py")
# Optional: another build to compare with, and its line end.
REFERENCE = os.environ.get("KESTRIX_REFERENCE_ENGINE", "")
REFERENCE_LINE_END = {"LF": b"\n", "CRLF": b"\r\n"}[
    os.environ.get("KESTRIX_REFERENCE_LINE_END", "LF")]
ANSWER = re.compile(
    r'OK|-?\d+,-?\d+|(ERROR|UNKNOWN|MESSAGE) .*|name="Kestrix", version="\d{8}", .*', re.S)


def converse(text, timeout=30):
    """Sends all of text, closes the input, returns (status, raw output)."""
    data = text if isinstance(text, bytes) else text.encode("latin-1")
    done = subprocess.run(ENGINE, input=data, capture_output=True, timeout=timeout)
    return done.returncode, done.stdout


def lines_of(output):
    """The answer lines; every one must end with exactly LINE_END, and no
    other CR or LF may appear."""
    assert output == b"" or output.endswith(LINE_END), output[-40:]
    lines = output.split(LINE_END)[:-1]
    for line in lines:
        assert b"\r" not in line and b"\n" not in line, line
    return [line.decode("latin-1") for line in lines]


class Dialogues(unittest.TestCase):
    def test_a_whole_session_is_answered_exactly(self):
        status, output = converse(
            "ABOUT\r\n"
            "START 15\r\n"
            "INFO timeout_turn 1000\r\n"
            "INFO timeout_match 0\r\n"
            "INFO time_left 2147483647\r\n"
            "INFO rule 1\n"
            "BEGIN\r\n"
            "PLAY 3,3\n"
            "TAKEBACK 3,3\n"
            "TAKEBACK 3,3\n"
            "RESTART\n"
            "bogus  line\n"
            "BOARD\r\n1,1,2\r\n2,2,2\r\n3,3,1\r\nDONE\r\n"
            "START 4\n"
            "TURN 10 10\n"
            "END\r\n")
        self.assertEqual(status, 0)
        lines = lines_of(output)
        self.assertRegex(lines[0], r'^name="Kestrix", version="\d{8}", author="[^",=]+", '
                                   r'country="[^",=]+", email="[^",=]+"$')
        # On an odd square board every spiral order starts in the centre, so
        # the opening plays 7,7. The three-stone BOARD position is searched:
        # any empty square will do here.
        searched = lines[8]
        self.assertRegex(searched, r"^\d+,\d+$")
        self.assertNotIn(searched, ("1,1", "2,2", "3,3"))
        self.assertEqual(lines[1:8] + lines[9:], [
            "OK", "7,7", "3,3", "OK", "ERROR There is no chess at [3,3].", "OK",
            "UNKNOWN bogus  line", "ERROR Minimal board size is 5*5",
            "ERROR bad TURN parameters"])

    def test_end_while_thinking_writes_the_move_first(self):
        for _ in range(5):
            status, output = converse("START 15\nBEGIN\nEND\n")
            self.assertEqual((status, lines_of(output)), (0, ["OK", "7,7"]))

    def test_end_of_input_ends_like_end(self):
        status, output = converse("START 15\nBEGIN")
        self.assertEqual((status, lines_of(output)), (0, ["OK", "7,7"]))
        status, output = converse("START 4\nBEGIN")  # no board was ever accepted
        self.assertEqual(lines_of(output)[:3], [
            "ERROR Minimal board size is 5*5", "MESSAGE Width: 20, Height: 20, Rule: Freestyle",
            "MESSAGE max_memory = 367001600, timeout_turn = 5000, timeout_match = 86400000"])
        self.assertEqual(len(lines_of(output)), 4)
        status, output = converse("START 15\nBOARD\n7,7,1\n8,8,2\n")  # inside a list
        self.assertEqual((status, lines_of(output)), (0, ["OK"]))

    def test_managers_get_the_about_line_first_without_a_warning(self):
        # A tournament runner takes the first line after ABOUT as the name.
        proc = subprocess.Popen(ENGINE, stdin=subprocess.PIPE, stdout=subprocess.PIPE)
        proc.stdin.write(b"ABOUT\n")
        proc.stdin.flush()
        first = proc.stdout.readline()
        proc.stdin.write(b"END\n")
        proc.stdin.close()
        proc.stdout.close()
        self.assertEqual(proc.wait(timeout=10), 0)
        self.assertTrue(first.startswith(b'name="Kestrix"'), first)
        self.assertTrue(first.endswith(LINE_END) and not first[:-len(LINE_END)].endswith(b"\r"),
                        first)

    def test_a_console_gets_the_warning_then_the_engine_carries_on(self):
        try:
            leader, follower = pty.openpty()
        except OSError as error:
            self.skipTest(f"no pseudo-terminal here: {error}")
        proc = subprocess.Popen(ENGINE, stdin=follower, stdout=subprocess.PIPE)
        # The warning comes before the engine reads anything; without it the
        # engine would wait for commands, so do not wait for ever.
        if not select.select([proc.stdout], [], [], 20)[0]:
            proc.kill()
            proc.wait()
            self.fail("no warning on a terminal")
        warning = proc.stdout.readline()
        if LINE_END == b"\r\n":
            # A Windows console on a terminal (Wine's) puts it into raw mode
            # when it starts reading; a key typed before then would reach
            # it as a line feed, which is no Enter there.
            deadline = time.monotonic() + 10
            while termios.tcgetattr(follower)[3] & termios.ICANON and time.monotonic() < deadline:
                time.sleep(0.01)
        os.close(follower)
        # Typed as on a keyboard: Enter is a carriage return, which a POSIX
        # terminal hands on as a line feed and a Windows console as CRLF.
        os.write(leader, b"START 15\rEND\r")
        output, _ = proc.communicate(timeout=20)
        os.close(leader)
        self.assertEqual(proc.returncode, 0)
        self.assertEqual(lines_of(warning + output), [
            "MESSAGE Gomoku AI should not be started directly. Please install gomoku manager "
            "(https://sourceforge.net/projects/piskvork). Then enter path to this exe file in "
            "players settings.",
            "OK"])


WORDS = ["START", "RECTSTART", "TURN", "BEGIN", "BOARD", "DONE", "INFO", "ABOUT", "RESTART",
         "TAKEBACK", "PLAY", "timeout_turn", "time_left", "timeout_match", "max_memory", "rule"]


def random_input(rng, words=WORDS):
    pieces = []
    for _ in range(rng.randrange(1, 60)):
        kind = rng.random()
        if kind < 0.5:
            numbers = [str(rng.choice([rng.randrange(-3, 40), rng.randrange(-2**40, 2**40)]))
                       for _ in range(rng.randrange(0, 4))]
            separator = rng.choice([",", " ", ", ", ""])
            pieces.append(rng.choice(words) + " " + separator.join(numbers))
        elif kind < 0.8:
            pieces.append(",".join(str(rng.randrange(-2, 34)) for _ in range(3)))
        else:
            pieces.append(bytes(rng.randrange(256) for _ in range(rng.randrange(0, 3000)))
                          .decode("latin-1"))
    return rng.choice(["\n", "\r\n"]).join(pieces)


class Robustness(unittest.TestCase):
    def test_arbitrary_input_never_crashes_or_hangs(self):
        rng = random.Random(20240601)
        for round in range(100):
            text = random_input(rng)
            status, output = converse(text)
            self.assertEqual(status, 0, (round, text[:200]))
            for line in lines_of(output):
                self.assertRegex(line, ANSWER, round)
                self.assertLess(len(line), 1040)


@unittest.skipUnless(REFERENCE, "no reference build given (KESTRIX_REFERENCE_ENGINE)")
class SameAsReferenceBuild(unittest.TestCase):
    """Another build of the engine (the Linux one, for the Windows build)
    must answer everything that does not depend on time or chance with the
    very same lines: every error text, echo and refusal."""

    MOVE_REQUESTS = (b"begin", b"turn", b"board")

    def without_move_requests(self, text):
        # A move depends on the clock and on a seed drawn from it. The first
        # word is what the engine compares: C white space, at most 20 bytes.
        kept = []
        for line in text.encode("latin-1").split(b"\n"):
            words = line.split()
            if not words or words[0][:20].lower() not in self.MOVE_REQUESTS:
                kept.append(line)
        return b"\n".join(kept)

    def test_answers_match_line_for_line(self):
        rng = random.Random(20240917)
        words = [w for w in WORDS if w.lower().encode() not in self.MOVE_REQUESTS + (b"about",)]
        for round in range(40):
            text = self.without_move_requests(random_input(rng, words))
            status, output = converse(text)
            done = subprocess.run(shlex.split(REFERENCE), input=text, capture_output=True,
                                  timeout=30)
            self.assertEqual(status, done.returncode, round)
            expected = done.stdout.replace(REFERENCE_LINE_END, b"\n")
            self.assertEqual(lines_of(output), expected.decode("latin-1").split("\n")[:-1],
                             (round, text[:200]))


class RefereeGames(unittest.TestCase):
    def referee(self, *options):
        done = subprocess.run([sys.executable, REFEREE, "--quiet", *options],
                              capture_output=True, text=True, timeout=300)
        return done.returncode, done.stdout

    def test_games_in_every_manager_style(self):
        engine = ["--engine", ENGINE_COMMAND]
        for options in (
                [*engine, *engine, "--size", "15"],
                [*engine, *engine, "--size", "20", "--rule", "4", "--style", "board",
                 "--timeout-match", "60000"],
                [*engine, *engine, "--width", "12", "--height", "7", "--rule", "1"],
                [*engine, "--size", "9", "--rectstart", "--timeout-turn", "300", "--seed", "7"]):
            status, output = self.referee(*options)
            self.assertEqual(status, 0, (options, output))
            self.assertRegex(output, r"result: (black|white) wins|result: draw", options)

    def test_the_referee_catches_an_illegal_move(self):
        # A brain that always answers 2,2: its second move is on its own stone.
        fake = os.path.join(tempfile.mkdtemp(), "fake_brain.py")
        with open(fake, "w") as script:
            script.write(
                "import sys\n"
                "for line in sys.stdin:\n"
                "    word = line.split()[0] if line.split() else ''\n"
                "    if word in ('START', 'RECTSTART'): print('OK', flush=True)\n"
                "    if word in ('BEGIN', 'TURN'): print('2,2', flush=True)\n"
                "    if word == 'END': break\n")
        status, output = self.referee("--engine", f"{sys.executable} {fake}", "--size", "5")
        self.assertEqual(status, 1, output)
        self.assertIn("failure: black: move 2,2 is on a taken cell", output)

if __name__ == "__main__":
    unittest.main()
