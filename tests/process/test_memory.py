"""The engine process's peak memory (VmHWM, VmPeak) under the manager's limit, read from
/proc/<pid>/status once it has searched long enough to touch its whole table. Skipped where
/proc is missing, and in sanitizer builds, whose figures are the sanitizer's.
"""

import os
import shlex
import subprocess
import sys
import time
import unittest

ENGINE = shlex.split(os.environ.get("KESTRIX_ENGINE", "build/release/pbrain-kestrix"))
# Two open positions in the middle of a 20 x 20 board, nothing forced; the
# engine's own stones first.
POSITIONS = [[(9, 9), (10, 10), (8, 10), (10, 8)],
             [(9, 9), (10, 10), (8, 10), (10, 8), (11, 9), (7, 11)]]
BOARDS = ["\n".join(["BOARD"] + [f"{x},{y},{1 + i % 2}" for i, (x, y) in enumerate(stones)]
                    + ["DONE"]) for stones in POSITIONS]


class Engine:
    def __init__(self, *commands):
        self.proc = subprocess.Popen(ENGINE, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                     bufsize=0)
        self.send(*commands)

    def send(self, *commands):
        self.proc.stdin.write("".join(command + "\n" for command in commands).encode())

    def ask(self, request):
        """Sends the request; returns (answer, milliseconds it took)."""
        started = time.monotonic()
        self.send(request)
        return self.proc.stdout.readline().decode().strip(), (time.monotonic() - started) * 1000

    def kib(self, field):
        with open(f"/proc/{self.proc.pid}/status") as status:
            return next(int(line.split()[1]) for line in status if line.startswith(field + ":"))

    def end(self):
        self.send("END")
        self.proc.stdin.close()
        return self.proc.wait(timeout=30)


@unittest.skipUnless(os.path.exists("/proc/self/status"), "needs /proc")
@unittest.skipIf(os.environ.get("KESTRIX_SANITIZED"), "sanitizer builds measure the sanitizer")
@unittest.skipIf(len(ENGINE) > 1, "an emulated engine's memory is the emulator's")
class TableMemory(unittest.TestCase):
    def test_peak_resident_memory_stays_under_the_limit(self):
        for limit in (52428800, 104857600, 367001600):
            engine = Engine(f"INFO max_memory {limit}", "INFO timeout_turn 1600")
            self.assertEqual(engine.ask("START 20")[0], "OK")
            for board in BOARDS * 2:
                self.assertRegex(engine.ask(board)[0], r"^\d+,\d+$")
            resident, virtual = engine.kib("VmHWM") * 1024, engine.kib("VmPeak") * 1024
            self.assertEqual(engine.end(), 0)
            print(f"max_memory {limit}: peak resident {resident} bytes, "
                  f"peak virtual {virtual} bytes", file=sys.stderr)
            self.assertLessEqual(resident, limit)
            self.assertGreater(resident, limit // 4)  # the table was not needlessly small

    def test_without_a_limit_the_largest_table_starts_quickly_and_moves_in_time(self):
        engine = Engine()
        self.assertEqual(engine.ask("START 20")[0], "OK")
        engine.send("INFO max_memory 0")
        about, resize_ms = engine.ask("ABOUT")  # answered once the table is in place
        self.assertTrue(about.startswith("name="))
        self.assertLess(resize_ms, 500)
        self.assertGreaterEqual(engine.kib("VmSize") * 1024, 48 << 23)
        # The table is wiped before every search, and every 256th wipe empties
        # it for real: short searches (10 ms on 300 ms of match time) reach
        # that wipe soon, and not one move may come late because of it.
        engine.send("INFO timeout_turn 200")
        first_ms = engine.ask(BOARDS[0])[1]
        engine.send("INFO time_left 300")
        slowest = 0
        for _ in range(270):
            answer, ms = engine.ask(BOARDS[0])
            self.assertRegex(answer, r"^\d+,\d+$")
            slowest = max(slowest, ms)
        self.assertEqual(engine.end(), 0)
        print(f"max_memory 0: table in place after {resize_ms:.0f} ms, first move in "
              f"{first_ms:.0f} ms, slowest of 270 short ones {slowest:.0f} ms", file=sys.stderr)
        self.assertLess(max(first_ms, slowest), 250)


if __name__ == "__main__":
    unittest.main()
