#!/usr/bin/env python3
"""Runs the examples of the README and the man pages and compares what they print.

An example is a console block: lines "$ COMMAND" (a heredoc's lines go with
its command), each followed by what it prints, standard output then standard
error. A trailing "(exit N)" or "(standard error, exit N)" gives the exit
status (0 otherwise); "…" stands for any text within a line, or, alone on a
line, for any number of lines. "$ cat FILE" of a file that does not exist yet
writes FILE from the lines shown, for the commands after it. Blocks with a
command of another program (a lock, Wine) are left to their own tests.

Usage: doc_examples.py BIN_DIR... -- FILE...
"""
import os
import re
import subprocess
import sys
import tempfile

RUNNABLE = re.compile(r"^(proxcred(-cli|-formscript|-locksim)?|echo|printf|cat) ")
STATUS = re.compile(r"\s*\((?:standard error, )?exit (\d+)\)\s*$")
ELLIPSIS = "…"


def blocks(path):
    """The console blocks of a file, as lists of lines."""
    text = open(path, encoding="utf-8").read()
    scd = path.endswith(".scd")
    fence = re.compile(r"^```\s*$" if scd else r"^```console\s*$")
    current = None
    for line in text.split("\n"):
        if current is None:
            if fence.match(line):
                current = []
        elif line.startswith("```"):
            if current and current[0].startswith("$ "):
                yield current
            current = None
        else:
            # scdoc takes a backslash as an escape, even in literal text.
            current.append(line.replace("\\\\", "\\") if scd else line)


def examples(block):
    """(command, expected lines) pairs of a block."""
    result = []
    lines = iter(block)
    for line in lines:
        if line.startswith("$ "):
            command = re.sub(r"\s{2,}#.*$", "", line[2:])
            heredoc = re.search(r"<<'(\w+)'$", command)
            if heredoc:
                for body in lines:
                    command += "\n" + body
                    if body == heredoc.group(1):
                        break
            result.append((command, []))
        elif result:
            result[-1][1].append(line)
    return result


def matches(expected, actual):
    """Whether the actual lines are the expected ones, "…" taken as any."""
    if not expected:
        return not actual
    head, rest = expected[0], expected[1:]
    if head == ELLIPSIS:
        return any(matches(rest, actual[i:]) for i in range(len(actual) + 1))
    pattern = ".*".join(re.escape(part) for part in head.split(ELLIPSIS))
    return bool(actual) and re.fullmatch(pattern, actual[0]) is not None and matches(rest, actual[1:])


def check(command, shown, workdir, env):
    """None when the command prints what is shown, else why not."""
    shown = list(shown)
    while shown and not shown[-1].strip():
        shown.pop()
    status = 0
    expected = []
    for line in shown:
        found = STATUS.search(line)
        if found:
            status = int(found.group(1))
            line = line[: found.start()]
        expected.append(line.rstrip())
    cat = re.fullmatch(r"cat (\S+)", command)
    if cat and not os.path.exists(os.path.join(workdir, cat.group(1))):
        with open(os.path.join(workdir, cat.group(1)), "w", encoding="utf-8") as file:
            file.write("\n".join(expected) + "\n")
        return None
    run = subprocess.run(["bash", "-c", command], cwd=workdir, env=env, capture_output=True,
                         text=True, stdin=subprocess.DEVNULL, timeout=60)
    actual = [line.rstrip() for line in (run.stdout + run.stderr).split("\n")]
    while actual and not actual[-1]:
        actual.pop()
    if run.returncode != status:
        return f"exit status {run.returncode}, shown {status}"
    if not matches(expected, actual):
        return "printed:\n  " + "\n  ".join(actual) + "\nshown:\n  " + "\n  ".join(expected)
    return None


def main():
    split = sys.argv.index("--")
    bins = [os.path.abspath(directory) for directory in sys.argv[1:split]]
    files = sys.argv[split + 1:]
    env = dict(os.environ, PATH=os.pathsep.join(bins + [os.environ.get("PATH", "")]), LC_ALL="C.UTF-8")
    checked = failed = 0
    for path in files:
        in_file = 0
        for block in blocks(path):
            pairs = examples(block)
            if not all(RUNNABLE.match(command) for command, _ in pairs):
                continue
            with tempfile.TemporaryDirectory() as workdir:
                for command, shown in pairs:
                    why = check(command, shown, workdir, env)
                    in_file += 1
                    if why:
                        failed += 1
                        print(f"{os.path.basename(path)}: $ {command}\n{why}\n")
        # A file whose examples are no longer found (a changed fence) would
        # otherwise pass unchecked.
        if in_file == 0:
            failed += 1
            print(f"{os.path.basename(path)}: no examples found")
        checked += in_file
    print(f"{checked} examples checked in {len(files)} files, {failed} differ")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
