"""The engine process's memory under the manager's limit, from /proc/<pid>/status once it has
searched long enough to touch its whole table; not under sanitizers or an emulator."""

import os
import re
import shlex
import subprocess
import sys
import time
import unittest

ENGINE = shlex.split(os.environ.get("KESTRIX_ENGINE", "build/release/pbrain-kestrix"))
# Open positions in the middle of a 20 x 20 board, nothing forced; the engine's own stones first.
BOARDS = ["BOARD\n" + "".join(f"{x},{y},{1 + i % 2}\n" for i, (x, y) in enumerate(stones)) + "DONE"
          for stones in ([(9, 9), (10, 10), (8, 10), (10, 8)],
                         [(9, 9), (10, 10), (8, 10), (10, 8), (11, 9), (7, 11)])]


class Engine:
    def __init__(self, *commands):
        self.proc = subprocess.Popen(ENGINE, stdin=subprocess.PIPE, stdout=subprocess.PIPE)
        self.send(*commands, "START 20")
        assert self.proc.stdout.readline().strip() == b"OK"

    def send(self, *commands):
        self.proc.stdin.write("".join(command + "\n" for command in commands).encode())
        self.proc.stdin.flush()

    def ask(self, request, answer=r"^\d+,\d+$"):
        """Sends the request and checks its answer; returns the milliseconds it took."""
        started = time.monotonic()
        self.send(request)
        assert re.match(answer, self.proc.stdout.readline().decode()), request
        return (time.monotonic() - started) * 1000

    def kib(self, field):
        with open(f"/proc/{self.proc.pid}/status") as status:
            return next(int(line.split()[1]) for line in status if line.startswith(field + ":"))

    def end(self):
        self.send("END")
        return self.proc.wait(timeout=30)


@unittest.skipUnless(os.path.exists("/proc/self/status"), "needs /proc")
@unittest.skipIf(os.environ.get("KESTRIX_SANITIZED"), "sanitizer builds measure the sanitizer")
@unittest.skipIf(len(ENGINE) > 1, "an emulated engine's memory is the emulator's")
class TableMemory(unittest.TestCase):
    def test_peak_resident_memory_stays_under_the_limit(self):
        for limit in (52428800, 104857600, 367001600):
            engine = Engine(f"INFO max_memory {limit}", "INFO timeout_turn 1600")
            for board in BOARDS * 2:
                engine.ask(board)
            resident, virtual = engine.kib("VmHWM") * 1024, engine.kib("VmPeak") * 1024
            self.assertEqual(engine.end(), 0)
            print(f"max_memory {limit}: peak {resident} resident, {virtual} virtual", file=sys.stderr)
            self.assertLessEqual(resident, limit)
            self.assertGreater(resident, limit // 4)  # the table was not needlessly small

    def test_without_a_limit_the_largest_table_starts_quickly_and_moves_in_time(self):
        engine = Engine()
        engine.send("INFO max_memory 0")
        resize_ms = engine.ask("ABOUT", "^name=")  # answered once the table is in place
        self.assertLess(resize_ms, 500)
        self.assertGreaterEqual(engine.kib("VmSize") * 1024, 48 << 23)
        # Every 256th wipe before a search empties the table for real: no short
        # search (10 ms on 300 ms of match time) may come late because of it.
        engine.send("INFO timeout_turn 200")
        first_ms = engine.ask(BOARDS[0])
        engine.send("INFO time_left 300")
        slowest = max(engine.ask(BOARDS[0]) for _ in range(270))
        self.assertEqual(engine.end(), 0)
        print(f"max_memory 0: table in place after {resize_ms:.0f} ms, first move in "
              f"{first_ms:.0f} ms, slowest of 270 short ones {slowest:.0f} ms", file=sys.stderr)
        self.assertLess(max(first_ms, slowest), 250)


if __name__ == "__main__":
    unittest.main()
