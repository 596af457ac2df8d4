#!/usr/bin/env python3
"""Soak: many short games of an engine against itself, in every manager style.

Games are played through the referee's engine wrapper (tools/referee.py)
between two processes of the same engine, on 15 x 15, 20 x 20, 32 x 32 and a
24 x 13 rectangle, under free-style, exactly five and Renju, at short turn
limits (100 to 500 ms) or with a match clock whose time_left is sent before
every move. The manager styles are mixed the way real managers mix them:

- TURN-driven games, or a BOARD with the whole position before every move;
- now and then an undo: the last two moves are taken back with TAKEBACK and
  play goes on from there;
- INFO changes between moves (the turn limit) and between games (the
  memory limit, the rule, the time control);
- several games per process pair: the next game comes after RESTART, or
  after a new START without END or RESTART (as tournament runners do), and
  every few games the processes are ended with END and started afresh.

Every answer is checked: a move must be "x,y" on an empty cell, arrive no
later than the limit plus the tolerance (50 ms), and every process must
exit with status 0 after END. The summary gives the games, the moves and
the largest lateness (time taken minus the limit) seen.

Exit status: 0 when everything held, 1 on any failure, 2 for a usage error.
"""

import argparse
import os
import random
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from referee import (MOVE, NO_MATCH_LIMIT_LEFT, Engine, Failure, makes_five,  # noqa: E402
                     rule_kind, send_settings)

BOARDS = [(15, 15), (20, 20), (32, 32), (24, 13)]
RULES = [0, 1, 4]
TURN_LIMITS = [100, 200, 300, 500]
MATCH_TURN_LIMITS = [300, 500]
MATCH_LIMITS = [15000, 30000]
MEMORY_LIMITS = [52428800, 104857600, 367001600]
GAMES_PER_PROCESS = (2, 12)  # a tournament runner keeps one process for a whole match
MAX_PLIES = 150  # a game this long is adjourned: short games cover more openings
UNDO_CHANCE = 0.03
INFO_CHANGE_CHANCE = 0.05


class Stats:
    def __init__(self):
        self.games = 0
        self.moves = 0
        self.failures = []
        self.lateness = None  # (ms, description)
        self.by_kind = {}

    def record_move(self, lateness_ms, where):
        self.moves += 1
        if self.lateness is None or lateness_ms > self.lateness[0]:
            self.lateness = (lateness_ms, where)


class Game:
    """One game between two engine processes, with the manager's own board."""

    def __init__(self, players, config, rng, stats, tolerance):
        self.players = players  # black first
        self.config = config
        self.rng = rng
        self.stats = stats
        self.tolerance = tolerance
        width, height = config["board"]
        self.width, self.height = width, height
        self.board = [[0] * width for _ in range(height)]
        self.moves = []  # (x, y), black first
        self.known = [set(), set()]  # the stones each engine has been told of
        self.turn_limit = config["timeout_turn"]
        self.used = [0.0, 0.0]
        self.last_change = None  # ply of the last INFO change within the game

    def describe(self):
        c = self.config
        clock = f"match {c['timeout_match']} ms" if c["timeout_match"] else "no match limit"
        changed = ", turn limit just changed" if self.last_change == len(self.moves) else ""
        return (f"{self.width}x{self.height} rule {c['rule']} {c['style']} style, "
                f"turn {self.turn_limit} ms{changed}, {clock}, ply {len(self.moves) + 1}")

    def play(self):
        rule = rule_kind(self.config["rule"])
        while len(self.moves) < MAX_PLIES:
            if len(self.moves) >= 3 and self.rng.random() < UNDO_CHANCE:
                self.undo_two()
            if self.rng.random() < INFO_CHANGE_CHANCE:
                self.change_info()
            colour = 1 + len(self.moves) % 2
            x, y = self.ask(colour - 1)
            if not (0 <= x < self.width and 0 <= y < self.height):
                raise Failure(f"move {x},{y} is off the board ({self.describe()})")
            if self.board[y][x] != 0:
                raise Failure(f"move {x},{y} is on a taken cell ({self.describe()})")
            self.board[y][x] = colour
            self.moves.append((x, y))
            self.known[colour - 1].add((x, y))  # the engine recorded its own move
            if makes_five(self.board, x, y, colour, rule):
                return "five"
            if len(self.moves) == self.width * self.height:
                return "full"
        return "adjourned"

    def undo_two(self):
        """The user takes back the last two moves; each engine is told of
        the stones it knows."""
        undone = self.moves[-2:]
        del self.moves[-2:]
        for x, y in undone:
            self.board[y][x] = 0
        for index, engine in enumerate(self.players):
            for square in reversed(undone):
                if square in self.known[index]:
                    self.command(engine, "TAKEBACK {},{}".format(*square), "OK")
                    self.known[index].discard(square)

    def change_info(self):
        """A new turn limit between two moves. (The memory limit changes only
        between games, where managers send it: a resize frees the old table
        before the next request is read, which a 100 ms turn cannot absorb.)"""
        limits = MATCH_TURN_LIMITS if self.config["timeout_match"] else TURN_LIMITS
        self.turn_limit = self.rng.choice(limits)
        for engine in self.players:
            engine.send(f"INFO timeout_turn {self.turn_limit}")
        self.last_change = len(self.moves)

    def command(self, engine, text, answer):
        engine.send(text)
        engine.answer(time.monotonic() + 10, lambda line: line == answer)

    def ask(self, index):
        engine = self.players[index]
        colour = index + 1
        match_ms = self.config["timeout_match"]
        if match_ms:
            left = int(match_ms - self.used[index] * 1000)
            engine.send(f"INFO time_left {left}")
        else:
            engine.send(f"INFO time_left {NO_MATCH_LIMIT_LEFT}")
        if self.config["style"] == "board":
            engine.send("BOARD")
            for y, row in enumerate(self.board):
                for x, cell in enumerate(row):
                    if cell:
                        engine.send(f"{x},{y},{1 if cell == colour else 2}")
            self.known[index] = {m for m in self.moves}
            request = "DONE"
        else:
            request = self.turn_request(index)
        limit_ms = self.turn_limit
        if match_ms:
            limit_ms = min(limit_ms, match_ms - self.used[index] * 1000)
        started = time.monotonic()
        engine.send(request)
        line = engine.answer(started + limit_ms / 1000 + 3, MOVE.fullmatch)
        elapsed = time.monotonic() - started
        self.used[index] += elapsed
        lateness = elapsed * 1000 - limit_ms
        self.stats.record_move(lateness, self.describe())
        if lateness > self.tolerance:
            raise Failure(f"{engine.name}: move {line} after {elapsed * 1000:.0f} ms, "
                          f"limit {limit_ms:.0f} ms ({self.describe()})")
        return tuple(map(int, MOVE.fullmatch(line).groups()))

    def turn_request(self, index):
        """BEGIN on an empty board, else TURN with the opponent's last move.
        After an undo the engine may already know that move: it is taken
        back first and then given again."""
        engine = self.players[index]
        missing = [m for m in self.moves if m not in self.known[index]]
        if not self.moves:
            return "BEGIN"
        last = self.moves[-1]
        if not missing:
            self.command(engine, "TAKEBACK {},{}".format(*last), "OK")
            missing = [last]
        if missing != [last]:
            raise Failure(f"soak bookkeeping: {engine.name} misses {missing}")
        self.known[index].add(last)
        return "TURN {},{}".format(*last)


def random_config(rng):
    timed = rng.random() < 0.35
    return {
        "board": rng.choice(BOARDS),
        "rule": rng.choice(RULES),
        "style": rng.choice(["turn", "board"]),
        "timeout_turn": rng.choice(MATCH_TURN_LIMITS if timed else TURN_LIMITS),
        "timeout_match": rng.choice(MATCH_LIMITS) if timed else 0,
        "max_memory": rng.choice(MEMORY_LIMITS),
    }


def set_up(engine, config, previous):
    """A new game on a running engine: RESTART when the board stays the
    same size and the manager likes it, else START or RECTSTART (never END
    in between); then the INFO settings, as a tournament runner sends them."""
    width, height = config["board"]
    if previous is not None and previous["board"] == config["board"] and config["restart"]:
        engine.send("RESTART")
    elif width == height:
        engine.send(f"START {width}")
    else:
        engine.send(f"RECTSTART {width},{height}")
    engine.answer(time.monotonic() + 10, lambda line: line == "OK")
    send_settings(engine, config["rule"], config["timeout_turn"], config["timeout_match"],
                  config["max_memory"])


def start_engines(command):
    engines = [Engine(command, "first"), Engine(command, "second")]
    for engine in engines:
        # A tournament runner takes the very next line as the engine's name,
        # whatever it is.
        engine.send("ABOUT")
        first = engine.lines.get(timeout=10)
        if first is None or not first.startswith("name="):
            raise Failure(f"{engine.name}: {first!r} in answer to ABOUT")
    return engines


def stop_engines(engines, stats, where):
    for engine in engines:
        problem = engine.close(wait=5.0)
        if problem:
            stats.failures.append(f"{problem} ({where})")


def soak(args):
    rng = random.Random(args.seed)
    stats = Stats()
    deadline = time.monotonic() + args.minutes * 60 if args.minutes else None
    engines = None
    previous = None
    games_in_process = 0
    games_for_process = 0
    while True:
        if args.games and stats.games >= args.games:
            break
        if deadline and time.monotonic() >= deadline:
            break
        if engines is None:
            try:
                engines = start_engines(args.engine)
            except Failure as error:
                stats.failures.append(str(error))
                break
            previous = None
            games_in_process = 0
            games_for_process = rng.randint(*GAMES_PER_PROCESS)
        config = random_config(rng)
        config["restart"] = rng.random() < 0.5
        if previous is not None and rng.random() < 0.3:
            config["board"] = previous["board"]  # so that RESTART gets its turn
        players = engines if stats.games % 2 == 0 else engines[::-1]
        game = Game(players, config, rng, stats, args.tolerance)
        try:
            for engine in engines:
                set_up(engine, config, previous)
            outcome = game.play()
        except Failure as error:
            stats.failures.append(f"{error} (moves: {game.moves})")
            print(f"failure: {stats.failures[-1]}", flush=True)
            outcome = "failed"
            for engine in engines:
                engine.proc.kill()
            stop_engines(engines, Stats(), "")
            engines = None
        stats.games += 1
        stats.by_kind[outcome] = stats.by_kind.get(outcome, 0) + 1
        if not args.quiet:
            print(f"game {stats.games}: {game.describe()}: {outcome}, {len(game.moves)} moves",
                  flush=True)
        previous = config
        games_in_process += 1
        if engines is not None and games_in_process >= games_for_process:
            stop_engines(engines, stats, f"after game {stats.games}")
            engines = None
    if engines is not None:
        stop_engines(engines, stats, "at the end")

    outcomes = ", ".join(f"{kind} {count}" for kind, count in sorted(stats.by_kind.items()))
    print(f"games: {stats.games} ({outcomes}); moves: {stats.moves}")
    if stats.lateness is not None:
        print(f"largest lateness: {stats.lateness[0]:.1f} ms ({stats.lateness[1]})")
    for failure in stats.failures:
        print(f"failure: {failure}")
    print(f"soak: {stats.games - len(stats.failures)} passed, {len(stats.failures)} failed")
    return 1 if stats.failures else 0


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--engine", required=True, help="engine command")
    parser.add_argument("--games", type=int, default=0, help="stop after this many games")
    parser.add_argument("--minutes", type=float, default=0,
                        help="stop starting new games after this many minutes")
    parser.add_argument("--seed", type=int, default=1, help="seed of the manager's choices")
    parser.add_argument("--tolerance", type=int, default=50,
                        help="ms a move may come after its limit")
    parser.add_argument("--quiet", action="store_true", help="print the summary only")
    args = parser.parse_args(argv)
    if not args.games and not args.minutes:
        parser.error("give --games or --minutes")
    return soak(args)


if __name__ == "__main__":
    sys.exit(main())
