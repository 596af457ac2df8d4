#!/usr/bin/env python3
"""Runs every command of README.md, in the order given, in a fresh copy of the
tree, as a new user would after cloning it.

Every code block of the README is a block of commands (fenced blocks marked
`text` excepted: those show output). Each block runs as one bash script with
`-e -o pipefail` at the top of the copy, with no input, and must end with
status 0; the first failure stops the check and shows the end of its output.

An HTML comment just above a block can change how it is run:

    <!-- readme-check: skip: why -->
        The block is not run. The reason is printed, and the block is counted
        as skipped, never as passed.
    <!-- readme-check: input: squares -->
        The block reads a person's moves (the referee's --human mode): its
        input is every square of a 15 x 15 board in turn, row by row, in the
        letter form (a1, b1, ...). The referee refuses the taken ones, so the
        game goes on to its end.

The copy holds the files git tracks, or would track, in the current tree:
what a fresh clone of a commit of this tree would hold. It goes to
build/readme-check/tree; HOME is build/readme-check/home, so that commands
writing under ~ stay there. Each block's output goes to
build/readme-check/logs/. The copy is removed after a passing run unless
--keep is given.

Exit status: 0 when every block that ran passed, 1 when one failed, 2 for a
usage error or a README comment that cannot be read.
"""

import argparse
import os
import re
import shutil
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
DIRECTIVE = re.compile(r"<!--\s*readme-check:\s*(skip|input):\s*(.*?)\s*-->")
INPUTS = {
    "squares": "".join(f"{'abcdefghijklmno'[x]}{y + 1}\n" for y in range(15) for x in range(15)),
}
BLOCK_TIMEOUT = 3600  # seconds; the longest block builds and tests in a few minutes


class Block:
    def __init__(self, line, text):
        self.line = line  # README line of the block's first command
        self.text = text
        self.skip = None  # the reason, when the block is not run
        self.input = None  # the name of the input it reads

    def title(self):
        first = self.text.strip().splitlines()[0]
        more = len(self.text.strip().splitlines()) - 1
        return first + (f"  (+{more} more line{'s' if more > 1 else ''})" if more else "")


def parse(readme):
    """The README's command blocks, with the directive above each."""
    lines = open(readme, encoding="utf-8").read().split("\n")
    blocks = []
    pending = None  # (line number, kind, value) of a directive not yet used
    i = 0
    previous_blank = True
    while i < len(lines):
        line = lines[i]
        found = DIRECTIVE.search(line)
        if found:
            if pending:
                raise SystemExit(f"README line {pending[0]}: readme-check comment with no block")
            pending = (i + 1, found.group(1), found.group(2))
        elif "<!--" in line and "readme-check" in line:
            raise SystemExit(f"README line {i + 1}: cannot read {line.strip()!r}")
        fence = re.match(r"(```+|~~~+)\s*(\w*)", line)
        block = None
        if fence:
            end = i + 1
            while end < len(lines) and not lines[end].startswith(fence.group(1)):
                end += 1
            if fence.group(2) != "text":
                block = Block(i + 2, "\n".join(lines[i + 1:end]) + "\n")
            i = end + 1
        elif previous_blank and line.startswith("    ") and line.strip():
            end = i
            while end < len(lines) and (lines[end].startswith("    ") or not lines[end].strip()):
                end += 1
            while not lines[end - 1].strip():
                end -= 1
            block = Block(i + 1, "\n".join(text[4:] for text in lines[i:end]) + "\n")
            i = end
        else:
            if line.strip() and not found and pending and i + 1 > pending[0]:
                raise SystemExit(f"README line {pending[0]}: readme-check comment not right "
                                 f"above a block")
            previous_blank = not line.strip()
            i += 1
            continue
        previous_blank = False
        if block:
            if pending:
                kind, value = pending[1], pending[2]
                if kind == "skip":
                    if not value:
                        raise SystemExit(f"README line {pending[0]}: a skip needs a reason")
                    block.skip = value
                elif value in INPUTS:
                    block.input = value
                else:
                    raise SystemExit(f"README line {pending[0]}: no input named {value!r}")
                pending = None
            blocks.append(block)
    if pending:
        raise SystemExit(f"README line {pending[0]}: readme-check comment with no block")
    return blocks


def fresh_copy(work):
    """The tree as a fresh clone would have it, under work/tree."""
    tree = os.path.join(work, "tree")
    files = subprocess.run(["git", "ls-files", "-z", "--cached", "--others", "--exclude-standard"],
                           cwd=ROOT, capture_output=True, check=True).stdout.split(b"\0")
    for name in filter(None, (f.decode() for f in files)):
        source = os.path.join(ROOT, name)
        if not os.path.lexists(source):
            continue  # deleted in the tree, not yet in git
        target = os.path.join(tree, name)
        os.makedirs(os.path.dirname(target), exist_ok=True)
        shutil.copy2(source, target, follow_symlinks=False)
    return tree


def run(block, number, tree, home, logs):
    log = os.path.join(logs, f"{number:02d}-line{block.line}.log")
    env = dict(os.environ, HOME=home)
    started = time.monotonic()
    with open(log, "w") as out:
        out.write(block.text + "---\n")
        out.flush()
        try:
            done = subprocess.run(["bash", "-e", "-o", "pipefail", "-c", block.text], cwd=tree,
                                  env=env, input=INPUTS.get(block.input, ""), text=True,
                                  stdout=out, stderr=subprocess.STDOUT, timeout=BLOCK_TIMEOUT)
            status = done.returncode
        except subprocess.TimeoutExpired:
            status = f"no end after {BLOCK_TIMEOUT} s"
    return status, time.monotonic() - started, log


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--list", action="store_true", help="only list the blocks and what is done")
    parser.add_argument("--keep", action="store_true", help="keep the copy after a passing run")
    parser.add_argument("--readme", default=os.path.join(ROOT, "README.md"))
    args = parser.parse_args()
    try:
        blocks = parse(args.readme)
    except SystemExit as error:
        print(error, file=sys.stderr)
        return 2
    if not blocks:
        print("no command blocks in the README", file=sys.stderr)
        return 2

    print(f"=== README commands: {len(blocks)} blocks")
    if args.list:
        for block in blocks:
            what = f"skip ({block.skip})" if block.skip else (
                f"run, input: {block.input}" if block.input else "run")
            print(f"line {block.line:4d}: {what}: {block.title()}")
        return 0

    work = os.path.join(ROOT, "build", "readme-check")
    shutil.rmtree(work, ignore_errors=True)
    tree = fresh_copy(work)
    home = os.path.join(work, "home")
    logs = os.path.join(work, "logs")
    os.makedirs(home)
    os.makedirs(logs)
    print(f"fresh copy of the tree in {tree}")
    skipped = []
    passed = 0
    for number, block in enumerate(blocks, 1):
        if block.skip:
            print(f"SKIP line {block.line}: {block.title()}\n     why: {block.skip}", flush=True)
            skipped.append(block)
            continue
        note = f" (input: {block.input})" if block.input else ""
        print(f"RUN  line {block.line}: {block.title()}{note}", flush=True)
        status, seconds, log = run(block, number, tree, home, logs)
        if status != 0:
            with open(log, errors="replace") as out:
                tail = out.read().splitlines()[-60:]
            print("\n".join(tail))
            print(f"FAILED line {block.line} (status {status}, {seconds:.0f} s); output in {log}")
            return 1
        print(f"     passed in {seconds:.0f} s", flush=True)
        passed += 1
    print(f"=== README commands: {passed} blocks ran and passed, {len(skipped)} skipped "
          f"(lines {', '.join(str(b.line) for b in skipped) or 'none'})")
    if not args.keep:
        shutil.rmtree(work, ignore_errors=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
