"""Runs one module of process tests for ctest: exit 0 when its tests pass, 1 when one fails,
and 77 (which ctest reports as skipped) when every test in it was skipped."""

import sys
import unittest

suite = unittest.defaultTestLoader.loadTestsFromName(sys.argv[1])
result = unittest.TextTestRunner(verbosity=2).run(suite)
if not result.wasSuccessful():
    sys.exit(1)
sys.exit(77 if len(result.skipped) == result.testsRun else 0)
