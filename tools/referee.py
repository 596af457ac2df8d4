#!/usr/bin/env python3
"""A minimal gomoku manager for testing brains over pipes.

Plays one game between two engine processes (or one engine and a built-in
random player), the way real managers drive brains: START or RECTSTART, the
INFO settings, then BEGIN/TURN, or BOARD with the whole position before every
move. Every answer must be a legal move "x,y" that arrives within the turn
limit (and the match time, when there is one). The game ends with a five
under the rule in force or a full board; the board and the result are
printed.

Exit status: 0 when the game was played out (a win or a draw), 1 when an
engine misbehaved (illegal or late move, ERROR or UNKNOWN answer, crash,
unclean exit), 2 for a usage error.
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


def show(board, moves):
    """X moved first, O second; the last move is drawn in lower case."""
    marks = {0: ".", 1: "X", 2: "O"}
    last = moves[-1] if moves else None
    print("   " + "".join(f"{x % 100:3d}" for x in range(len(board[0]))))
    for y, row in enumerate(board):
        cells = [marks[c].lower() if (x, y) == last else marks[c] for x, c in enumerate(row)]
        print(f"{y:3d}" + "".join(f"{c:>3}" for c in cells))


def send_settings(engine, rule, timeout_turn, timeout_match, max_memory):
    """The INFO settings a tournament runner sends after START."""
    engine.send(f"INFO rule {rule}")
    engine.send(f"INFO timeout_turn {timeout_turn}")
    engine.send(f"INFO timeout_match {timeout_match}")
    engine.send(f"INFO max_memory {max_memory}")
    engine.send("INFO game_type 1")


def play(args):
    width = args.width or args.size
    height = args.height or args.size
    rule = rule_kind(args.rule)
    match_ms = args.timeout_match
    players = [Engine(args.engine[0], "black")]
    players.append(Engine(args.engine[1], "white") if len(args.engine) > 1 else RandomPlayer(args.seed))
    board = [[0] * width for _ in range(height)]
    moves = []
    result = None
    failure = None
    engines = [p for p in players if isinstance(p, Engine)]
    try:
        for engine in engines:
            if args.rectstart or width != height:
                engine.send(f"RECTSTART {width},{height}")
            else:
                engine.send(f"START {width}")
            engine.answer(time.monotonic() + 10, lambda line: line == "OK")
            send_settings(engine, args.rule, args.timeout_turn, match_ms, args.max_memory)
        while result is None:
            colour = 1 + len(moves) % 2
            player = players[colour - 1]
            if isinstance(player, RandomPlayer):
                free = [(x, y) for y in range(height) for x in range(width) if board[y][x] == 0]
                x, y = player.rng.choice(free)
            else:
                x, y = ask(player, colour, board, moves, args)
            if not (0 <= x < width and 0 <= y < height):
                raise Failure(f"{player.name}: move {x},{y} is off the board")
            if board[y][x] != 0:
                raise Failure(f"{player.name}: move {x},{y} is on a taken cell")
            board[y][x] = colour
            moves.append((x, y))
            if makes_five(board, x, y, colour, rule):
                result = f"{player.name} wins with a five at {x},{y} after {len(moves)} moves"
            elif len(moves) == width * height:
                result = f"draw: the board is full after {len(moves)} moves"
    except Failure as error:
        failure = str(error)
    for engine in engines:
        problem = engine.close()
        if problem and not failure:
            failure = problem
    if not args.quiet:
        show(board, moves)
    if failure:
        print(f"failure: {failure}")
        return 1
    print(f"result: {result}")
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
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--engine", action="append", required=True,
                        help="engine command; give it twice for engine against engine "
                             "(the first plays black), once to play a random player")
    parser.add_argument("--size", type=int, default=15, help="side of a square board")
    parser.add_argument("--width", type=int, help="board width (with --height: a rectangle)")
    parser.add_argument("--height", type=int, help="board height")
    parser.add_argument("--rectstart", action="store_true", help="send RECTSTART even for a square")
    parser.add_argument("--rule", type=int, default=0,
                        help="INFO rule value: 0 free-style, 1 exactly five, 4 Renju")
    parser.add_argument("--timeout-turn", type=int, default=1000, help="ms per move")
    parser.add_argument("--timeout-match", type=int, default=0,
                        help="ms per game and engine (0: no match limit)")
    parser.add_argument("--max-memory", type=int, default=83886080, help="INFO max_memory bytes")
    parser.add_argument("--style", choices=("turn", "board"), default="turn",
                        help="BEGIN/TURN, or BOARD with the whole position before every move")
    parser.add_argument("--tolerance", type=int, default=150,
                        help="ms a move may come after its limit (pipes and process start)")
    parser.add_argument("--seed", type=int, default=1, help="seed of the random player")
    parser.add_argument("--quiet", action="store_true", help="do not print the board")
    args = parser.parse_args(argv)
    if len(args.engine) > 2:
        parser.error("at most two engines")
    width = args.width or args.size
    height = args.height or args.size
    if not (5 <= width <= 32 and 5 <= height <= 32):
        parser.error("board sides must lie in 5..32")
    return play(args)


if __name__ == "__main__":
    sys.exit(main())
