"""Every include in src/ points to its own layer or a lower one (LAYERS, lowest first); exits 1
naming each include that points up."""

import pathlib
import re
import sys

LAYERS = ["platform", "position", "threats", "search", "session", "protocol"]
INCLUDE = re.compile(r'^\s*#\s*include\s+"([a-z_]+)/', re.MULTILINE)

src = pathlib.Path(__file__).resolve().parent.parent / "src"
files = sorted(p for p in src.rglob("*") if p.suffix in (".h", ".cpp"))
upward = [f"{path.relative_to(src)} includes {target}/" for path in files
          for target in INCLUDE.findall(path.read_text())
          if target not in LAYERS
          or LAYERS.index(target) > LAYERS.index(path.relative_to(src).parts[0])]
print("\n".join(upward + [f"{len(files)} files, {len(upward)} includes pointing up"]))
sys.exit(1 if upward or not files else 0)
