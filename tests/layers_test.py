"""Every include in src/ points to its own layer or a lower one.

The layers, lowest first: platform, position, threats, search, session,
protocol. Run from anywhere; exits 1 and names each include that points up.
"""

import pathlib
import re
import sys

LAYERS = ["platform", "position", "threats", "search", "session", "protocol"]
INCLUDE = re.compile(r'^\s*#\s*include\s+"([a-z_]+)/', re.MULTILINE)

src = pathlib.Path(__file__).resolve().parent.parent / "src"
upward = []
files = sorted(p for p in src.rglob("*") if p.suffix in (".h", ".cpp"))
for path in files:
    layer = path.relative_to(src).parts[0]
    for target in INCLUDE.findall(path.read_text()):
        if target not in LAYERS or LAYERS.index(target) > LAYERS.index(layer):
            upward.append(f"{path.relative_to(src)} includes {target}/")
if not files:
    sys.exit(f"no sources under {src}")
for line in upward:
    print(line)
print(f"{len(files)} files, {len(upward)} includes pointing up")
sys.exit(1 if upward else 0)
