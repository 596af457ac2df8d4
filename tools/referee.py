#!/usr/bin/env python3
"""A minimal gomoku manager for testing brains over pipes, and for playing one.

Plays one game between two engine processes, one engine and a built-in
random player, or one engine and a person at the terminal (--human), the way
real managers drive brains: START or RECTSTART, the INFO settings, then
BEGIN/TURN, or BOARD with the whole position before every move. Every answer
must be a legal move "x,y" that arrives within the turn limit (and the match
time, when there is one). The game ends with a five under the rule in force
or a full board.

Unless --quiet, it prints the rule, the board and the time limits first,
then one line per move (number, colour, square, time taken), and the board
with the result at the end; --watch draws the board after every move, at
most one board per --delay milliseconds, so that a person can follow. A
person playing (--human) sees the board once per exchange, after the
engine's reply.

Squares: x,y with 0-based column x (numbers above the board) and row y
(numbers at its left), as the protocol has them. A person may also type a
letter and a number: the column's letter (above the board; a is column 0)
and the row counted from 1 at the top (at the board's right), so h8 is 7,7.
The person's squares are refused when they are off the board or taken and,
for black under Renju, when they make an overline, a double four or a double
three, and the refusal names the lines (threes are followed as far as a few
thousand positions; beyond that the move is allowed, with a note). Engines'
moves are not judged for Renju.

Exit status: 0 when the game was played out (a win or a draw), 1 when an
engine misbehaved (illegal or late move, ERROR or UNKNOWN answer, crash,
unclean exit), 2 for a usage error, 3 when the person left the game (quit,
or the end of the input) before it was over.
"""

import argparse
import queue
import random
import re
import shlex
import subprocess
import sys
import threading
import time

MOVE = re.compile(r"(\d+),(\d+)")
NO_MATCH_LIMIT_LEFT = 2147483647  # what managers send with no match limit


class Failure(Exception):
    """An engine broke the protocol; the game cannot go on."""


class Engine:
    """One brain process, with a thread that queues its output lines."""

    def __init__(self, command, name):
        self.name = name
        self.command = command
        self.proc = subprocess.Popen(
            shlex.split(command), stdin=subprocess.PIPE, stdout=subprocess.PIPE,
            stderr=subprocess.DEVNULL, bufsize=0)
        self.lines = queue.Queue()
        threading.Thread(target=self._read, daemon=True).start()
        self.time_used = 0.0

    def _read(self):
        for raw in self.proc.stdout:
            self.lines.put(raw.decode("latin-1").rstrip("\r\n"))
        self.lines.put(None)

    def send(self, text):
        try:
            self.proc.stdin.write((text + "\n").encode("latin-1"))
            self.proc.stdin.flush()
        except OSError as error:
            raise Failure(f"{self.name}: cannot send {text!r}: {error}")

    def answer(self, deadline, wanted):
        """The first line for which wanted(line) holds; MESSAGE lines are
        skipped, ERROR and UNKNOWN lines are failures."""
        while True:
            remaining = deadline - time.monotonic()
            try:
                line = self.lines.get(timeout=max(remaining, 0.001))
            except queue.Empty:
                raise Failure(f"{self.name}: no answer in time")
            if line is None:
                raise Failure(f"{self.name}: the process ended")
            if wanted(line):
                return line
            if line.startswith(("ERROR", "UNKNOWN")) or not line.startswith(("MESSAGE", "DEBUG")):
                raise Failure(f"{self.name}: unexpected answer {line!r}")

    def close(self, wait=3.0):
        """END, then a clean exit with status 0 within `wait` seconds."""
        try:
            self.send("END")
            self.proc.stdin.close()
        except (Failure, OSError):
            pass
        try:
            status = self.proc.wait(timeout=wait)
        except subprocess.TimeoutExpired:
            self.proc.kill()
            self.proc.wait()
            return f"{self.name}: did not exit after END"
        return None if status == 0 else f"{self.name}: exit status {status} after END"


class RandomPlayer:
    """The second player when only one engine is given: random legal moves."""

    def __init__(self, seed):
        self.name = "random"
        self.rng = random.Random(seed)


def rule_kind(value):
    if value & 4:
        return "renju"
    return "exact" if value & 1 else "free"


def run_length(board, x, y, dx, dy, colour):
    width, height = len(board[0]), len(board)
    length = 1
    for sign in (1, -1):
        cx, cy = x + sign * dx, y + sign * dy
        while 0 <= cx < width and 0 <= cy < height and board[cy][cx] == colour:
            length += 1
            cx, cy = cx + sign * dx, cy + sign * dy
    return length


def makes_five(board, x, y, colour, rule):
    """Colour 1 moved first (black). Free-style: five or more; exactly five:
    exactly five; Renju: black exactly five, white five or more."""
    lengths = [run_length(board, x, y, dx, dy, colour) for dx, dy in ((1, 0), (0, 1), (1, 1), (1, -1))]
    exact = rule == "exact" or (rule == "renju" and colour == 1)
    return any(n == 5 if exact else n >= 5 for n in lengths)


LETTERS = "abcdefghijklmnopqrstuvwxyz"
COLOURS = {1: "black", 2: "white"}
RULES = {
    "free": "free-style: five or more in a row win",
    "exact": "exactly five: five in a row win, six or more do not",
    "renju": "Renju: black wins only with exactly five and may not make an overline, "
             "a double four or a double three; white wins with five or more",
}
LEGEND = "X is black (moves first), O is white; the last move is in lower case (x or o)."


def has_letters(width):
    """The letter form names columns up to z."""
    return width <= len(LETTERS)


def square_text(x, y, letters):
    """h8 in the letter form, 7,7 otherwise."""
    return f"{LETTERS[x]}{y + 1}" if letters else f"{x},{y}"


def square_name(x, y, width, letters=False):
    """x,y, and with letters also the letter form: 7,7 (h8)."""
    name = f"{x},{y}"
    if letters and has_letters(width):
        name += f" ({LETTERS[x]}{y + 1})"
    return name


def board_lines(board, moves, letters=False):
    """X moved first, O second; the last move is drawn in lower case. Column
    numbers above and row numbers at the left give x,y; with letters, the
    column letters above them and the rows counted from 1 at the right give
    the letter form."""
    marks = {0: ".", 1: "X", 2: "O"}
    width = len(board[0])
    letters = letters and has_letters(width)
    last = moves[-1] if moves else None
    lines = []
    if letters:
        lines.append("   " + "".join(f"{LETTERS[x]:>3}" for x in range(width)))
    lines.append("   " + "".join(f"{x % 100:3d}" for x in range(width)))
    for y, row in enumerate(board):
        cells = [marks[c].lower() if (x, y) == last else marks[c] for x, c in enumerate(row)]
        line = f"{y:3d}" + "".join(f"{c:>3}" for c in cells)
        lines.append(line + (f"  {y + 1:2d}" if letters else ""))
    return lines


def show(board, moves, letters=False):
    print("\n".join(board_lines(board, moves, letters)), flush=True)


def parse_square(text, width, height):
    """(x, y) from "x,y" or a letter and a row number ("h8"); ValueError with
    the message for the person otherwise."""
    text = text.strip()
    numbers = re.fullmatch(r"(-?\d+)\s*[, ]\s*(-?\d+)", text)
    letter = re.fullmatch(r"([A-Za-z])\s*(\d+)", text)
    if numbers:
        x, y = int(numbers.group(1)), int(numbers.group(2))
    elif letter and has_letters(width):
        x, y = LETTERS.index(letter.group(1).lower()), int(letter.group(2)) - 1
    else:
        example = " or a letter and a row number (h8)" if has_letters(width) else ""
        raise ValueError(f"not a square: {text!r}; type x,y (for example 7,7){example}")
    if not (0 <= x < width and 0 <= y < height):
        letter_form = (f"; columns a to {LETTERS[width - 1]}, rows 1 to {height}"
                       if has_letters(width) else "")
        raise ValueError(f"{text} is off the board: x runs from 0 to {width - 1}, "
                         f"y from 0 to {height - 1}{letter_form}")
    return x, y


class Unsettled(Exception):
    """The forbidden-move test ran out of its budget of positions."""


class RenjuJudge:
    """Whether a black stone on an empty square is forbidden under Renju.

    A stone that makes exactly five is always allowed. Otherwise it is
    forbidden when it makes an overline (six or more), two or more fours (an
    open four counts once; two fours in one line, as in x.xxx.x, count
    twice), or two or more threes. A three counts only if it can become an
    open four by a stone that would itself be allowed, which is settled by
    asking the same question about that stone, with the first one in place.
    The board holds 0 (empty), 1 (black) and 2 (white); it is changed while
    the test runs and left as it was."""

    DIRECTIONS = ((1, 0), (0, 1), (1, 1), (1, -1))
    LINE_NAMES = ("row", "column", "diagonal", "diagonal")

    def __init__(self, board, budget=4000):
        self.board = board
        self.width, self.height = len(board[0]), len(board)
        self.budget = budget

    def reason(self, x, y):
        """None when black may play (x, y); else "an overline", "a double
        four" or "a double three", followed by the lines that make it and
        their stones: "a double three: the row through g8, h8, i8 and the
        diagonal through g7, h8, i9". Raises Unsettled when the chain of
        threes behind threes is too long to follow."""
        self.budget -= 1
        if self.budget < 0:
            raise Unsettled()
        board = self.board
        board[y][x] = 1
        try:
            lengths = [run_length(board, x, y, dx, dy, 1) for dx, dy in self.DIRECTIONS]
            if 5 in lengths:
                return None
            if max(lengths) > 5:
                return "an overline: " + self.lines(
                    x, y, [d for d, n in enumerate(lengths) if n > 5], self.run)
            fours = [self.fours(x, y, dx, dy) for dx, dy in self.DIRECTIONS]
            if sum(fours) >= 2:
                named = self.lines(x, y, [d for d, n in enumerate(fours) if n], self.four_stones)
                return "a double four: " + named + (" (two fours in one line)"
                                                     if max(fours) == 2 else "")
            threes = [d for d, ((dx, dy), four) in enumerate(zip(self.DIRECTIONS, fours))
                      if not four and self.real_three(x, y, dx, dy)]
            if len(threes) >= 2:
                return "a double three: " + self.lines(x, y, threes, self.three_stones)
            return None
        finally:
            board[y][x] = 0

    def lines(self, x, y, directions, stones):
        """The named lines through (x, y), each with its stones in order:
        "the row through g8, h8, i8 and the column through ..."."""
        letters = has_letters(self.width)
        named = []
        for d in directions:
            dx, dy = self.DIRECTIONS[d]
            squares = sorted(stones(x, y, dx, dy))
            names = ", ".join(square_text(x + k * dx, y + k * dy, letters) for k in squares)
            named.append(f"the {self.LINE_NAMES[d]} through {names}")
        return " and ".join([", ".join(named[:-1]), named[-1]] if len(named) > 2 else named)

    def run(self, x, y, dx, dy):
        """Offsets of the unbroken black run through (x, y) in this line."""
        found = [0]
        for sign in (1, -1):
            k = sign
            while self.on_board(x + k * dx, y + k * dy) and self.board[y + k * dy][x + k * dx] == 1:
                found.append(k)
                k += sign
        return found

    def stones_of_fives(self, x, y, dx, dy, fives):
        """Offsets of the black stones that each square of fives (offsets
        of empty squares) would complete into five, those squares left out."""
        stones = set()
        for k in fives:
            ex, ey = x + k * dx, y + k * dy
            self.board[ey][ex] = 1
            stones.update(k + j for j in self.run(ex, ey, dx, dy) if j)
            self.board[ey][ex] = 0
        return stones

    def four_stones(self, x, y, dx, dy):
        return self.stones_of_fives(x, y, dx, dy, self.five_squares(x, y, dx, dy))

    def three_stones(self, x, y, dx, dy):
        """The three's stones: those of the open fours that one more stone
        in the line would make, that stone left out."""
        board = self.board
        stones = set()
        for k, ex, ey in self.empty_near(x, y, dx, dy):
            board[ey][ex] = 1
            fives = self.five_squares(x, y, dx, dy)
            if len(fives) == 2 and fives[1] - fives[0] == 5:
                stones.update(self.stones_of_fives(x, y, dx, dy, fives) - {k})
            board[ey][ex] = 0
        return stones

    def on_board(self, x, y):
        return 0 <= x < self.width and 0 <= y < self.height

    def empty_near(self, x, y, dx, dy):
        """The empty squares within four of (x, y) along the line, as
        (offset, x, y)."""
        for k in range(-4, 5):
            ex, ey = x + k * dx, y + k * dy
            if k != 0 and self.on_board(ex, ey) and self.board[ey][ex] == 0:
                yield k, ex, ey

    def five_squares(self, x, y, dx, dy):
        """The offsets k along the line at which an empty square takes the
        black stone on (x, y) into exactly five."""
        board = self.board
        found = []
        for k, ex, ey in self.empty_near(x, y, dx, dy):
            between = range(min(k, 0) + 1, max(k, 0))
            if all(board[y + j * dy][x + j * dx] == 1 for j in between):
                board[ey][ex] = 1
                if run_length(board, ex, ey, dx, dy, 1) == 5:
                    found.append(k)
                board[ey][ex] = 0
        return found

    def fours(self, x, y, dx, dy):
        """0, 1 or 2 fours through (x, y) in this line; an open four is one."""
        fives = self.five_squares(x, y, dx, dy)
        if len(fives) == 2 and fives[1] - fives[0] == 5:
            return 1
        return min(len(fives), 2)

    def real_three(self, x, y, dx, dy):
        """Whether one more black stone in this line, itself allowed, makes
        an open four through (x, y)."""
        board = self.board
        for k, ex, ey in self.empty_near(x, y, dx, dy):
            board[ey][ex] = 1
            fives = self.five_squares(x, y, dx, dy)
            board[ey][ex] = 0
            if len(fives) == 2 and fives[1] - fives[0] == 5 and self.reason(ex, ey) is None:
                return True
        return False


class Human:
    """A person at the terminal, who types the squares of their moves."""

    def __init__(self, name):
        self.name = name
        self.tty = sys.stdin.isatty()

    def read(self, prompt):
        """A line, or None at the end of the input. Piped input is echoed
        after the prompt, so the transcript reads as if typed."""
        if self.tty:
            try:
                return input(prompt)
            except EOFError:
                print()
                return None
        print(prompt, end="", flush=True)
        line = sys.stdin.readline()
        print(line.rstrip("\n"), flush=True)
        return line or None

    def move(self, colour, board, rule):
        """The person's next square: asked until it is on the board, empty
        and, for black under Renju, not forbidden."""
        width, height = len(board[0]), len(board)
        form = "x,y or a letter and a number, like h8" if has_letters(width) else "x,y"
        while True:
            text = self.read(f"your move as {COLOURS[colour]} ({form}; q to quit): ")
            if text is None or text.strip().lower() in ("q", "quit", "exit"):
                raise LeftGame()
            if not text.strip():
                continue
            try:
                x, y = parse_square(text, width, height)
            except ValueError as error:
                print(error)
                continue
            name = square_name(x, y, width, letters=True)
            if board[y][x] != 0:
                print(f"{name} is taken; choose an empty square")
                continue
            if rule == "renju" and colour == 1:
                try:
                    reason = RenjuJudge(board).reason(x, y)
                except Unsettled:
                    print(f"(could not settle whether {name} is a double three; it is allowed)")
                    reason = None
                if reason:
                    print(f"{name} is forbidden to black under Renju: {reason}")
                    continue
            return x, y


class LeftGame(Exception):
    """The person quit, or their input ended, before the game was over."""


def send_settings(engine, rule, timeout_turn, timeout_match, max_memory):
    """The INFO settings a tournament runner sends after START."""
    engine.send(f"INFO rule {rule}")
    engine.send(f"INFO timeout_turn {timeout_turn}")
    engine.send(f"INFO timeout_match {timeout_match}")
    engine.send(f"INFO max_memory {max_memory}")
    engine.send("INFO game_type 1")


def describe(args, players):
    """The lines that open a game: who plays, the rule, the board, the time."""
    width = args.width or args.size
    height = args.height or args.size
    names = []
    for colour, player in zip((1, 2), players):
        if isinstance(player, Engine):
            who = player.command
        elif isinstance(player, Human):
            who = "you"
        else:
            who = f"random moves (seed {args.seed})"
        names.append(f"{COLOURS[colour].capitalize()} ({'X' if colour == 1 else 'O'}): {who}")
    match = f"{args.timeout_match} ms per game" if args.timeout_match else "no limit per game"
    return [*names,
            f"Rule {args.rule}, {RULES[rule_kind(args.rule)]}.",
            f"Board {width} x {height}; {args.timeout_turn} ms per move, {match}.",
            LEGEND]


def play(args):
    width = args.width or args.size
    height = args.height or args.size
    rule = rule_kind(args.rule)
    match_ms = args.timeout_match
    human = args.human and (1 if args.human == "black" else 2)
    engine_names = iter(args.engine)
    players = []
    for colour in (1, 2):
        if colour == human:
            players.append(Human(COLOURS[colour]))
        elif (command := next(engine_names, None)) is not None:
            players.append(Engine(command, COLOURS[colour]))
        else:
            players.append(RandomPlayer(args.seed))
    letters = bool(human)
    board = [[0] * width for _ in range(height)]
    moves = []
    result = None
    winner = None
    failure = None
    left = False
    engines = [p for p in players if isinstance(p, Engine)]
    shown = 0.0  # when the last move of a watched game was shown
    drawn = -1  # the number of moves on the last board drawn
    if not args.quiet:
        print("\n".join(describe(args, players)), flush=True)
        if human:
            print("Type a square as x,y (the numbers above and at the left of the board) or\n"
                  "as a letter and a number (the letters above and the numbers at the right:\n"
                  "h8 is 7,7). The engine's moves are written the same way.")
        print(f"{'move':>4}  {'colour':6} {'square':<12} {'time':>9}")
    try:
        for engine in engines:
            if args.rectstart or width != height:
                engine.send(f"RECTSTART {width},{height}")
            else:
                engine.send(f"START {width}")
            engine.answer(time.monotonic() + 10, lambda line: line == "OK")
            send_settings(engine, args.rule, args.timeout_turn, match_ms, args.max_memory)
        if human == 1:
            show(board, moves, letters)
            print()
            drawn = 0
        while result is None:
            colour = 1 + len(moves) % 2
            player = players[colour - 1]
            started = time.monotonic()
            if isinstance(player, RandomPlayer):
                free = [(x, y) for y in range(height) for x in range(width) if board[y][x] == 0]
                x, y = player.rng.choice(free)
            elif isinstance(player, Human):
                x, y = player.move(colour, board, rule)
            else:
                x, y = ask(player, colour, board, moves, args)
            taken_ms = (time.monotonic() - started) * 1000
            if not (0 <= x < width and 0 <= y < height):
                raise Failure(f"{player.name}: move {x},{y} is off the board")
            if board[y][x] != 0:
                raise Failure(f"{player.name}: move {x},{y} is on a taken cell")
            board[y][x] = colour
            moves.append((x, y))
            if args.watch and not human and not args.quiet:
                # Each move of a watched game, with its board, stays on the
                # screen for at least the delay.
                time.sleep(max(0.0, shown + args.delay / 1000 - time.monotonic()))
                shown = time.monotonic()
            if not args.quiet:
                square = square_name(x, y, width, letters)
                print(f"{len(moves):4d}  {COLOURS[colour]:6} {square:<12} {taken_ms:6.0f} ms",
                      flush=True)
            if makes_five(board, x, y, colour, rule):
                result = f"{player.name} wins with a five at {x},{y} after {len(moves)} moves"
                winner = colour
            elif len(moves) == width * height:
                result = f"draw: the board is full after {len(moves)} moves"
            # A person sees one board per exchange, after the engine's reply.
            if result is None and not args.quiet and (colour != human if human else args.watch):
                show(board, moves, letters)
                print()
                drawn = len(moves)
    except Failure as error:
        failure = str(error)
    except (LeftGame, KeyboardInterrupt):
        left = True
    for engine in engines:
        problem = engine.close()
        if problem and not failure:
            failure = problem
    if not args.quiet:
        if drawn != len(moves):  # a person who left has just seen it
            show(board, moves, letters)
        print(LEGEND)
    if failure:
        print(f"failure: {failure}")
        return 1
    if left:
        print(f"unfinished: you left the game after {len(moves)} moves")
        return 3
    print(f"result: {result}")
    if human:
        print({None: "nobody wins", human: "you win"}.get(winner, "the engine wins"))
    for engine in engines:
        print(f"time used by {engine.name}: {engine.time_used * 1000:.0f} ms")
    return 0


def ask(engine, colour, board, moves, args):
    """One move request in the chosen manager style; checks the time."""
    match_ms = args.timeout_match
    if match_ms > 0:
        left = int(match_ms - engine.time_used * 1000)
        engine.send(f"INFO time_left {left}")
    else:
        engine.send(f"INFO time_left {NO_MATCH_LIMIT_LEFT}")
    if args.style == "board":
        engine.send("BOARD")
        for y, row in enumerate(board):
            for x, cell in enumerate(row):
                if cell:
                    engine.send(f"{x},{y},{1 if cell == colour else 2}")
        request = "DONE"
    elif not moves:
        request = "BEGIN"
    else:
        request = "TURN {},{}".format(*moves[-1])
    limit = args.timeout_turn / 1000
    if match_ms > 0:
        limit = min(limit, match_ms / 1000 - engine.time_used)
    # Wait past the limit, so a late move is reported as late, not missing.
    started = time.monotonic()
    engine.send(request)
    line = engine.answer(started + limit + 3, MOVE.fullmatch)
    elapsed = time.monotonic() - started
    engine.time_used += elapsed
    if elapsed * 1000 > limit * 1000 + args.tolerance:
        raise Failure(f"{engine.name}: move {line} after {elapsed * 1000:.0f} ms, limit {limit * 1000:.0f} ms")
    x, y = map(int, MOVE.fullmatch(line).groups())
    return x, y


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    # Each option's help ends with its default, where it has one.
    parser.add_argument("--engine", action="append", required=True, metavar="COMMAND",
                        help="engine command; give it twice for engine against engine "
                             "(the first plays black), once to play a random player or, "
                             "with --human, you")
    parser.add_argument("--size", type=int, metavar="N", default=15,
                        help="side of a square board (default: %(default)s)")
    parser.add_argument("--width", type=int, metavar="N",
                        help="board width (with --height: a rectangle)")
    parser.add_argument("--height", type=int, metavar="N", help="board height")
    parser.add_argument("--rectstart", action="store_true", help="send RECTSTART even for a square")
    parser.add_argument("--rule", type=int, metavar="N", default=0,
                        help="INFO rule value: 0 free-style, 1 exactly five, 4 Renju "
                             "(default: %(default)s)")
    parser.add_argument("--timeout-turn", type=int, metavar="MS", default=1000,
                        help="ms per move (default: %(default)s)")
    parser.add_argument("--timeout-match", type=int, metavar="MS", default=0,
                        help="ms per game and engine, 0 for no match limit "
                             "(default: %(default)s)")
    parser.add_argument("--max-memory", type=int, metavar="BYTES", default=83886080,
                        help="INFO max_memory bytes (default: %(default)s)")
    parser.add_argument("--style", choices=("turn", "board"), default="turn",
                        help="BEGIN/TURN, or BOARD with the whole position before every move "
                             "(default: %(default)s)")
    parser.add_argument("--tolerance", type=int, metavar="MS", default=150,
                        help="ms a move may come after its limit, for pipes and process "
                             "start (default: %(default)s)")
    parser.add_argument("--seed", type=int, metavar="N", default=1,
                        help="seed of the random player (default: %(default)s)")
    parser.add_argument("--quiet", action="store_true",
                        help="print only the result: no board, no line per move")
    parser.add_argument("--watch", action="store_true", help="draw the board after every move")
    parser.add_argument("--delay", type=int, metavar="MS", default=1000,
                        help="with --watch, the least ms between two boards, so that a person "
                             "can follow the game; 0 draws each at once (default: %(default)s)")
    parser.add_argument("--human", choices=("black", "white"),
                        help="play against the engine yourself, with this colour (black moves "
                             "first); the board is drawn after every reply of the engine")
    args = parser.parse_args(argv)
    if len(args.engine) > 2:
        parser.error("at most two engines")
    if args.human and len(args.engine) != 1:
        parser.error("--human plays against one engine: give --engine once")
    if args.human and args.quiet:
        parser.error("--human needs the board: leave out --quiet")
    width = args.width or args.size
    height = args.height or args.size
    if not (5 <= width <= 32 and 5 <= height <= 32):
        parser.error("board sides must lie in 5..32")
    return play(args)


if __name__ == "__main__":
    sys.exit(main())
