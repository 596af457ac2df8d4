"""The engine process's memory under the manager's limit, measured from outside.

Peak resident memory (VmHWM) and peak virtual size (VmPeak) are read from
/proc/<pid>/status while the engine is still running, after it has searched
long enough to touch its whole transposition table. The figures are printed
for the record. Skipped where /proc is missing, and in sanitizer builds,
whose shadow memory and slower allocator say nothing about the real engine.
"""

import os
import shlex
import subprocess
import sys
import time
import unittest

# A command line, as for the other process tests; more than one word means
# an emulator runs the engine, and /proc would show the emulator.
ENGINE = shlex.split(os.environ.get("KESTRIX_ENGINE", "build/release/pbrain-kestrix"))
LARGEST_TABLE = 48 << 23


def status_kib(pid, field):
    with open(f"/proc/{pid}/status") as status:
        for line in status:
            if line.startswith(field + ":"):
                return int(line.split()[1])
    raise AssertionError(f"no {field} in /proc/{pid}/status")


class EngineProcess:
    def __init__(self, *commands):
        self.proc = subprocess.Popen(ENGINE, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                     bufsize=0)
        for command in commands:
            self.send(command)

    def send(self, text):
        self.proc.stdin.write((text + "\n").encode())

    def line(self):
        return self.proc.stdout.readline().decode().rstrip("\r\n")

    def timed(self, request):
        """Sends the request and returns (answer, milliseconds it took)."""
        started = time.monotonic()
        self.send(request)
        return self.line(), (time.monotonic() - started) * 1000

    def end(self):
        self.send("END")
        self.proc.stdin.close()
        return self.proc.wait(timeout=30)


def board(stones):
    """A BOARD list; stones alternate, the engine's own first."""
    lines = ["BOARD"] + [f"{x},{y},{1 + i % 2}" for i, (x, y) in enumerate(stones)]
    return "\n".join(lines) + "\nDONE"


# Two open positions in the middle of a 20 x 20 board, nothing forced.
POSITIONS = [
    [(9, 9), (10, 10), (8, 10), (10, 8)],
    [(9, 9), (10, 10), (8, 10), (10, 8), (11, 9), (7, 11)],
]


@unittest.skipUnless(os.path.exists("/proc/self/status"), "needs /proc")
@unittest.skipIf(os.environ.get("KESTRIX_SANITIZED"), "sanitizer builds measure the sanitizer")
@unittest.skipIf(len(ENGINE) > 1, "an emulated engine's memory is the emulator's")
class TableMemory(unittest.TestCase):
    def test_peak_resident_memory_stays_under_the_limit(self):
        for limit in (52428800, 104857600, 367001600):
            engine = EngineProcess("START 20", f"INFO max_memory {limit}", "INFO timeout_turn 1600")
            self.assertEqual(engine.line(), "OK")
            for stones in POSITIONS * 2:
                self.assertRegex(engine.timed(board(stones))[0], r"^\d+,\d+$")
            resident = status_kib(engine.proc.pid, "VmHWM") * 1024
            virtual = status_kib(engine.proc.pid, "VmPeak") * 1024
            self.assertEqual(engine.end(), 0)
            print(f"max_memory {limit}: peak resident {resident} bytes, "
                  f"peak virtual {virtual} bytes", file=sys.stderr)
            self.assertLessEqual(resident, limit)
            # The table was not needlessly small: it had to fill a good part.
            self.assertGreater(resident, limit // 4)

    def test_without_a_limit_the_largest_table_starts_quickly_and_moves_in_time(self):
        engine = EngineProcess("START 20")
        self.assertEqual(engine.line(), "OK")
        engine.send("INFO max_memory 0")
        about, resize_ms = engine.timed("ABOUT")  # answered once the table is in place
        self.assertTrue(about.startswith("name="))
        self.assertLess(resize_ms, 500)
        self.assertGreaterEqual(status_kib(engine.proc.pid, "VmSize") * 1024, LARGEST_TABLE)
        engine.send("INFO timeout_turn 200")
        _, first_ms = engine.timed(board(POSITIONS[0]))
        print(f"max_memory 0: table in place after {resize_ms:.0f} ms, first searched move "
              f"in {first_ms:.0f} ms at timeout_turn 200", file=sys.stderr)
        self.assertLess(first_ms, 250)

        # The table is wiped before every search; every 256th wipe empties it
        # for real. Short searches (10 ms, as 300 ms of match time give them)
        # reach that wipe quickly; not one move may come late because of it.
        engine.send("INFO time_left 300")
        slowest = 0
        for _ in range(270):
            answer, ms = engine.timed(board(POSITIONS[0]))
            self.assertRegex(answer, r"^\d+,\d+$")
            slowest = max(slowest, ms)
        self.assertEqual(engine.end(), 0)
        print(f"max_memory 0: slowest of 270 short searches {slowest:.0f} ms", file=sys.stderr)
        self.assertLess(slowest, 250)


if __name__ == "__main__":
    unittest.main()
