#!/usr/bin/env python3
"""Mutation check of the core: do the core tests notice plausible one-line mistakes?

Each mutant in scripts/mutants.txt is an exact snippet of src/core and what a slip of the
programmer would have made of it. The snippet is searched across src/core (inside the function
named by its hint, when it has one), so a mutant follows its code from file to file; a snippet
found nowhere, or more than once, is reported as stale and not run. Every mutant is applied
alone, the core and its tests are rebuilt incrementally in their own build directory, the core
tests run (the core_tests binary, then the command-line golden cases), and the file is put
back, also on Ctrl+C or an error (and at the next start, should the script have been killed).

    scripts/mutate.py                 every mutant
    scripts/mutate.py --check         only look the patterns up (no build)
    scripts/mutate.py ID [ID ...]     those mutants (also prefixes: "nt-" for every number-text one)

Standard library only. Exit status 0 when the caught share of the mutants that are not marked
equivalent reaches --target (default 90%) and nothing is stale.
"""

from __future__ import annotations

import argparse
import dataclasses
import os
import re
import signal
import subprocess
import sys
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
CORE = ROOT / "src" / "core"
MUTANTS = ROOT / "scripts" / "mutants.txt"
GOLDEN = ROOT / "tests" / "cli" / "golden" / "run_cli_tests.sh"


@dataclasses.dataclass
class Mutant:
    id: str
    line: int  # of its "mutant" line in the list
    module: str = ""
    hint: str = ""
    find: str = ""
    replace: str = ""
    why: str = ""  # what the slip would do
    equivalent: str = ""  # why no test can tell it apart: left out of the score
    # found by Locate
    path: Path | None = None
    offset: int = -1
    stale: str = ""


def parse(path: Path) -> list[Mutant]:
    """The list: blocks of "key value" lines, each starting with "mutant ID"; # starts a comment.
    The value of find/replace is the rest of the line after one blank, taken exactly."""
    mutants: list[Mutant] = []
    for number, raw in enumerate(path.read_text().splitlines(), 1):
        if not raw.strip() or raw.lstrip().startswith("#"):
            continue
        key, _, value = raw.partition(" ")
        if key == "mutant":
            mutants.append(Mutant(id=value.strip(), line=number))
            continue
        if not mutants or key not in ("module", "hint", "find", "replace", "why", "equivalent"):
            sys.exit(f"{path}:{number}: expected 'mutant ID' or a key of one, got {raw!r}")
        m = mutants[-1]
        setattr(m, key, value if key in ("find", "replace") else value.strip())
    seen = set()
    for m in mutants:
        if m.id in seen:
            sys.exit(f"{path}:{m.line}: mutant {m.id} listed twice")
        seen.add(m.id)
        if not m.find or m.find == m.replace:
            sys.exit(f"{path}:{m.line}: mutant {m.id} needs a find and a different replace")
    return mutants


def core_files() -> list[Path]:
    return sorted(p for p in CORE.rglob("*") if p.suffix in (".h", ".cpp"))


def regions(text: str, hint: str) -> list[tuple[int, int]]:
    """Spans of the definitions named `hint` in `text`: a function (its name then its parameter
    list then a brace, on a line that starts with its type) or a struct/class, up to the brace
    that closes it."""
    name = re.escape(hint)
    pattern = re.compile(
        rf"^[ \t]*(?:(?:struct|class)[ \t]+{name}\b[^;{{]*|(?:[\w:<>*&,]+[ \t]+)*[*&]?(?:\w+::)*{name}[ \t]*\([^;{{]*)\{{",
        re.M,
    )
    spans = []
    for match in pattern.finditer(text):
        depth, i = 0, match.end() - 1
        while i < len(text):
            if text[i] == "{":
                depth += 1
            elif text[i] == "}":
                depth -= 1
                if depth == 0:
                    break
            i += 1
        spans.append((match.start(), i + 1))
    return spans


def locate(mutants: list[Mutant], files: dict[Path, str]) -> None:
    for m in mutants:
        hits = []
        for path, text in files.items():
            spans = regions(text, m.hint) if m.hint else [(0, len(text))]
            for start in (s.start() for s in re.finditer(re.escape(m.find), text)):
                if any(a <= start and start + len(m.find) <= b for a, b in spans):
                    hits.append((path, start))
        if len(hits) == 1:
            m.path, m.offset = hits[0]
        elif not hits:
            m.stale = "found nowhere" + (f" in {m.hint}" if m.hint else "")
        else:
            where = ", ".join(f"{p.relative_to(ROOT)}:{files[p].count(chr(10), 0, o) + 1}" for p, o in hits)
            m.stale = f"found {len(hits)} times ({where})"


class Sources:
    """Applies one mutant at a time and always puts the file back: on return, on an exception,
    on SIGINT/SIGTERM; a copy of the original lies in the build directory while a file is
    changed, so a run that was killed outright is repaired by the next one."""

    def __init__(self, build: Path):
        self.journal = build / "mutate-original"
        self.changed: tuple[Path, str] | None = None

    def recover(self) -> None:
        if self.journal.exists():
            rel, _, original = self.journal.read_text().partition("\n")
            (ROOT / rel).write_text(original)
            self.journal.unlink()
            print(f"restored {rel} from an interrupted run")

    def apply(self, m: Mutant) -> None:
        assert m.path is not None and self.changed is None
        original = m.path.read_text()
        assert original[m.offset : m.offset + len(m.find)] == m.find
        self.journal.write_text(f"{m.path.relative_to(ROOT)}\n{original}")
        self.changed = (m.path, original)
        m.path.write_text(original[: m.offset] + m.replace + original[m.offset + len(m.find) :])

    def restore(self) -> None:
        if self.changed:
            path, original = self.changed
            path.write_text(original)
            self.changed = None
            self.journal.unlink(missing_ok=True)


def run(cmd: list[str], timeout: float, cwd: Path = ROOT) -> tuple[int | None, str]:
    """Exit status (None on timeout) and output; a timed-out command and its children are killed."""
    proc = subprocess.Popen(cmd, cwd=cwd, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True,
                            start_new_session=True)
    try:
        out, _ = proc.communicate(timeout=timeout)
        return proc.returncode, out
    except subprocess.TimeoutExpired:
        os.killpg(proc.pid, signal.SIGKILL)
        out, _ = proc.communicate()
        return None, out
    except BaseException:
        os.killpg(proc.pid, signal.SIGKILL)
        proc.wait()
        raise


def golden_cases() -> list[str]:
    return re.findall(r"^case_([a-z_]+)\(\)", GOLDEN.read_text(), re.M)


def failing_tests(build: Path, ninja: list[str], timeout: float) -> list[str] | None:
    """Names of the core tests that fail (empty: all pass; None: the tool does not build).
    core_tests first; the command-line tool is linked and its golden cases run only when it
    passes, since one catch is all a mutant needs."""
    status, out = run([str(build / "tests/core/core_tests"), "--gtest_color=no"], timeout)
    if status is None:
        return [f"core_tests timed out after {timeout:.0f} s"]
    if status != 0:
        # one line per failed test; the summary line "[  FAILED  ] 4 tests, listed below:" is none
        failed = sorted(set(re.findall(r"^\[  FAILED  \] ([\w/.]*[A-Za-z][\w/.]*)(?:,| \(|$)", out, re.M)))
        if failed:
            return failed
        running = re.findall(r"^\[ RUN      \] ([\w/.]+)", out, re.M)
        return [f"core_tests ended with status {status}" + (f" in {running[-1]}" if running else "")]
    if run(ninja + ["quillane-cli"], 600)[0] != 0:
        return None
    cli = str(build / "quillane-cli")
    caught = []
    for case in golden_cases():
        status, _ = run(["bash", str(GOLDEN), cli, case], timeout)
        if status != 0:
            caught.append(f"cli_golden.{case}" + (" (timed out)" if status is None else ""))
    return caught


def main() -> int:
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("ids", nargs="*", help="mutant ids or id prefixes to run (default: all)")
    parser.add_argument("--build", default=str(ROOT / "build-mutate"), help="build directory of its own")
    parser.add_argument("--jobs", default="1", help="ninja -j (default 1: the machine is shared)")
    parser.add_argument("--timeout", type=float, default=60, help="seconds per test run of one mutant")
    parser.add_argument("--target", type=float, default=90, help="percent of the scored mutants to catch")
    parser.add_argument("--check", action="store_true", help="only look the patterns up")
    args = parser.parse_args()

    mutants = parse(MUTANTS)
    build = Path(args.build).resolve()
    build.mkdir(exist_ok=True)
    sources = Sources(build)
    sources.recover()
    files = {p: p.read_text() for p in core_files()}
    locate(mutants, files)
    if args.ids:
        mutants = [m for m in mutants if any(m.id == i or (i.endswith("-") and m.id.startswith(i)) for i in args.ids)]
        if not mutants:
            sys.exit("no mutant matches " + " ".join(args.ids))
    stale = [m for m in mutants if m.stale]
    for m in stale:
        print(f"STALE   {m.id}: {m.stale} (scripts/mutants.txt:{m.line})")
    modules = sorted({m.module for m in mutants})
    print(f"{len(mutants)} mutants over {len(modules)} modules ({', '.join(modules)}); {len(stale)} stale")
    if args.check:
        return 1 if stale else 0

    def stop(signum, _frame):
        raise KeyboardInterrupt(f"signal {signum}")

    # Also SIGINT: a shell that starts the script in the background leaves it ignored.
    for signum in (signal.SIGINT, signal.SIGTERM, signal.SIGHUP):
        signal.signal(signum, stop)
    started = time.monotonic()
    # Optimised lightly: each mutant recompiles a file and relinks, and the tests run in a second.
    if not (build / "build.ninja").exists():
        status, out = run(["cmake", "-S", str(ROOT), "-B", str(build), "-G", "Ninja", "-DCMAKE_BUILD_TYPE=None",
                           "-DCMAKE_CXX_FLAGS=-O1", "-DQUILLANE_CORE_ONLY=ON", "-DQUILLANE_WERROR=OFF"], 600)
        if status != 0:
            sys.exit("configure failed:\n" + out)
    ninja = ["ninja", "-C", str(build), f"-j{args.jobs}"]
    results: dict[str, tuple[str, str]] = {}
    runnable = sorted((m for m in mutants if not m.stale), key=lambda m: (str(m.path), m.offset))
    try:
        status, out = run(ninja + ["tests/core/core_tests", "quillane-cli"], 3600)
        if status != 0:
            sys.exit("the unchanged core does not build:\n" + out[-3000:])
        if failing := failing_tests(build, ninja, args.timeout * 4):
            sys.exit("the unchanged core fails its tests: " + ", ".join(failing))
        print(f"baseline built and passing in {time.monotonic() - started:.0f} s", flush=True)

        # Mutants of one file in a row: each build then compiles that file alone.
        for n, m in enumerate(runnable, 1):
            t0 = time.monotonic()
            sources.apply(m)
            try:
                status, out = run(ninja + ["tests/core/core_tests"], 600)
                caught = failing_tests(build, ninja, args.timeout) if status == 0 else None
                if caught is None:
                    lines = [line for line in out.splitlines() if "error" in line]
                    results[m.id] = ("NOBUILD", lines[0] if lines else "")
                elif caught:
                    results[m.id] = ("caught", ", ".join(caught[:3]) + (" ..." if len(caught) > 3 else ""))
                else:
                    results[m.id] = ("MISSED", "")
            finally:
                sources.restore()
            verdict, detail = results[m.id]
            where = f"{m.path.relative_to(ROOT)}:{files[m.path].count(chr(10), 0, m.offset) + 1}"
            print(f"[{n:3}/{len(runnable)}] {verdict:7} {m.id:30} {where:42} {time.monotonic() - t0:5.1f}s  {detail}",
                  flush=True)
    except KeyboardInterrupt:
        sources.restore()
        print("interrupted: the sources are as they were")
        return 130
    finally:
        sources.restore()

    scored = [m for m in runnable if not m.equivalent and results[m.id][0] != "NOBUILD"]
    caught = [m for m in scored if results[m.id][0] == "caught"]
    missed = [m for m in scored if results[m.id][0] == "MISSED"]
    equivalent = [m for m in runnable if m.equivalent]
    nobuild = [m for m in runnable if results[m.id][0] == "NOBUILD"]
    print()
    for m in missed:
        print(f"missed      {m.id}: {m.why}")
    for m in equivalent:
        note = " -- but a test caught it: it is not equivalent" if results[m.id][0] == "caught" else ""
        print(f"equivalent  {m.id}: {m.equivalent}{note}")
    for m in nobuild:
        print(f"no build    {m.id}: fix its replacement so that it compiles")
    score = 100.0 * len(caught) / len(scored) if scored else 100.0
    print(f"\nscore: {len(caught)} caught of {len(scored)} scored mutants = {score:.1f}% "
          f"({len(equivalent)} equivalent, {len(nobuild)} not building, {len(stale)} stale); "
          f"{time.monotonic() - started:.0f} s")
    # The build directory holds the last mutant's objects: bring it back to the sources.
    run(ninja + ["tests/core/core_tests", "quillane-cli"], 1800)
    return 0 if score >= args.target and not stale else 1


if __name__ == "__main__":
    sys.exit(main())
