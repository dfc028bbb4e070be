#!/usr/bin/env python3
# Mutation testing: seeds one small fault at a time into the code, rebuilds the test programs that
# can see it, runs them, and reports whether any test noticed. Written in Python (standard library
# only) so that the file is restored exactly however the run ends.
#
#   scripts/mutants.sh [options]
#
#   --tree DIR        source tree to mutate (default: the checkout holding this script)
#   --build DIR       its configured build folder (default: TREE/build)
#   --list FILE       mutation list (default: TREE/scripts/mutants.txt)
#   --only LIST       entries by number, e.g. 3,7-9
#   --folder NAME     entries whose file lies below NAME/ (repeatable)
#   --match REGEX     entries whose file or label matches
#   --all-tests       run every affected test program to the end and name every failing test
#                     (default: stop at the first failure)
#   --timeout SEC     time limit per test program (default: 10 x its unmutated time, at least 60 s)
#   --tests A,B       run these test programs for every entry instead of the table below
#   --jobs N          ninja -j (default 2)
#   --no-baseline     skip the unmutated build and run
#   --check           only check that every snippet occurs exactly once; no build
#   --results FILE    also write one tab-separated line per mutant
#
# Each entry of the list names a file, an exact snippet that occurs once in it, the replacement
# and a label. A mutant that does not build counts as invalid; a test program that fails, crashes
# or outruns its time limit counts as catching it.

import argparse
import os
import re
import signal
import subprocess
import sys
import time
from pathlib import Path

# Test programs that can observe a change below each folder, the folder's own first and the slow
# end-to-end ones last. Targets missing from the build are left out; test programs the build has
# and this table does not name run for every folder, so that a new or renamed suite is never
# silently skipped.
ALL_TESTS = ["core_tests", "codecs_tests", "graphics_tests", "behaviour_tests", "edit_tests", "editors_tests",
             "app_tests", "cli_tests", "graphics_cli_tests"]
TESTS_FOR_FOLDER = {
    "core": ALL_TESTS,
    "codecs": ["codecs_tests", "core_tests", "graphics_tests", "behaviour_tests", "edit_tests", "editors_tests",
               "app_tests", "cli_tests", "graphics_cli_tests"],
    "graphics": ["graphics_tests", "edit_tests", "editors_tests", "app_tests", "cli_tests", "graphics_cli_tests"],
    "behaviour": ["behaviour_tests", "edit_tests", "editors_tests", "app_tests", "cli_tests"],
    "edit": ["edit_tests", "editors_tests", "app_tests", "cli_tests"],
    "editors": ["editors_tests", "app_tests"],
    "app": ["app_tests"],
    "cli": ["cli_tests", "graphics_cli_tests", "behaviour_tests"],
    "tools": ALL_TESTS,
    "data": ALL_TESTS,
}

FAILED_LINE = re.compile(r"^\[  FAILED  \] ([^ ,]+\.[^ ,]+)")
RUN_LINE = re.compile(r"^\[ RUN      \] (\S+)")


class Stop(Exception):
    """Raised by the signal handlers so that every `finally` runs."""


def on_signal(signum, _frame):
    raise Stop(f"signal {signum}")


def parse_list(path):
    entries, block = [], {}

    def flush():
        if not block:
            return
        missing = [k for k in ("file", "label", "find", "repl") if k not in block]
        if missing:
            sys.exit(f"{path}: entry near line {block['line']} lacks {', '.join(missing)}")
        entries.append({"file": block["file"][0], "label": block["label"][0], "find": "\n".join(block["find"]),
                        "repl": "\n".join(block["repl"]), "line": block["line"]})
        block.clear()

    for number, raw in enumerate(Path(path).read_text().splitlines(), 1):
        if raw.startswith("#"):
            continue
        if not raw.strip():
            flush()
            continue
        key, sep, value = raw.partition(":")
        if not sep or key not in ("file", "label", "find", "repl"):
            sys.exit(f"{path}:{number}: expected 'file:', 'label:', 'find:' or 'repl:'")
        block.setdefault("line", number)
        block.setdefault(key, []).append(value[1:] if value.startswith(" ") else value)
    flush()
    for n, e in enumerate(entries, 1):
        e["id"] = n
        e["folder"] = e["file"].split("/", 1)[0]
    return entries


def select(entries, args):
    chosen = entries
    if args.only:
        wanted = set()
        for part in args.only.split(","):
            lo, _, hi = part.partition("-")
            wanted.update(range(int(lo), int(hi or lo) + 1))
        chosen = [e for e in chosen if e["id"] in wanted]
    if args.folder:
        chosen = [e for e in chosen if e["folder"] in args.folder]
    if args.match:
        rx = re.compile(args.match)
        chosen = [e for e in chosen if rx.search(e["file"]) or rx.search(e["label"])]
    return chosen


def snippet_problem(tree, entry):
    path = tree / entry["file"]
    if not path.is_file():
        return "file not found"
    count = path.read_text().count(entry["find"])
    if count != 1:
        return f"snippet found {count} times"
    if entry["find"] == entry["repl"]:
        return "replacement equals the snippet"
    return None


class Runner:
    def __init__(self, args):
        self.tree = Path(args.tree).resolve()
        self.build = Path(args.build).resolve()
        self.args = args
        self.backup_dir = self.build / "mutants-backup"
        self.child = None
        self.baseline_seconds = {}
        known = self.ninja_targets()
        if args.tests:
            chosen = args.tests.split(",")
            self.tests_for = {f: chosen for f in TESTS_FOR_FOLDER}
            return
        named = {t for ts in TESTS_FOR_FOLDER.values() for t in ts}
        extra = sorted(t for t in known if t.endswith("_tests") and "/" not in t and not t.startswith("cmake_")
                       and t not in named)
        self.tests_for = {f: [t for t in ts if t in known] + extra for f, ts in TESTS_FOR_FOLDER.items()}

    # -- the file under mutation, restored whatever happens
    def restore_leftovers(self):
        # A run killed outright (SIGKILL) leaves its backup behind: put that file back first.
        if not self.backup_dir.is_dir():
            return
        for saved in self.backup_dir.iterdir():
            target = self.tree / saved.name.replace("%2F", "/")
            print(f"restoring {target} left mutated by an earlier run", file=sys.stderr)
            target.write_bytes(saved.read_bytes())
            saved.unlink()

    def backup_path(self, entry):
        return self.backup_dir / entry["file"].replace("/", "%2F")

    # -- building and running
    def ninja_targets(self):
        out = subprocess.run(["ninja", "-C", str(self.build), "-t", "targets", "all"], capture_output=True,
                             text=True, check=True).stdout
        return {line.split(":", 1)[0] for line in out.splitlines()}

    def ninja(self, targets):
        proc = subprocess.run(["ninja", "-C", str(self.build), f"-j{self.args.jobs}", *targets],
                              capture_output=True, text=True)
        if proc.returncode == 0:
            return None
        errors = [l for l in proc.stdout.splitlines() if "error" in l.lower()]
        return (errors[0] if errors else proc.stdout.strip().splitlines()[-1:] or ["build failed"])[0][:160]

    def binary(self, target):
        found = sorted(self.build.glob(f"tests/**/{target}"))
        return next((p for p in found if p.is_file() and os.access(p, os.X_OK)), None)

    def run_test(self, target, timeout, record=False):
        exe = self.binary(target)
        if exe is None:
            return "error", f"{target}: program not found"
        cmd = [str(exe)]
        if not self.args.all_tests:
            cmd.append("--gtest_fail_fast")
        env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
        start = time.monotonic()
        self.child = subprocess.Popen(cmd, cwd=exe.parent, env=env, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                                      stdin=subprocess.DEVNULL, start_new_session=True, text=True, errors="replace")
        try:
            out, _ = self.child.communicate(timeout=timeout)
        except subprocess.TimeoutExpired:
            self.kill_child()
            return "timeout", f"{target}: killed after {timeout:.0f} s"
        code, self.child = self.child.returncode, None
        if record:
            self.baseline_seconds[target] = time.monotonic() - start
        if code == 0:
            return "pass", ""
        lines = out.splitlines()
        failed = list(dict.fromkeys(m.group(1) for m in map(FAILED_LINE.match, lines) if m))
        if code is not None and code < 0:
            # The test that was running when the program died.
            started = [m.group(1) for m in map(RUN_LINE.match, lines) if m]
            failed.append(f"{started[-1] if started else 'start-up'} crashed ({signal.Signals(-code).name})")
        return "fail", f"{target}: {', '.join(failed) or f'exit code {code}'}"

    def kill_child(self):
        child, self.child = self.child, None
        if child and child.poll() is None:
            try:
                os.killpg(child.pid, signal.SIGKILL)
            except ProcessLookupError:
                pass
            child.wait()

    def timeout_for(self, target):
        if self.args.timeout:
            return self.args.timeout
        return max(60.0, 10 * self.baseline_seconds.get(target, 12.0))

    def baseline(self, folders):
        targets = list(dict.fromkeys(t for f in folders for t in self.tests_for.get(f, [])))
        print(f"baseline: building {' '.join(targets)}", flush=True)
        error = self.ninja(targets)
        if error:
            sys.exit(f"the unmutated tree does not build: {error}")
        for target in targets:
            status, detail = self.run_test(target, 600, record=True)
            if status != "pass":
                sys.exit(f"the unmutated tree fails its tests: {detail or status}")
            print(f"  {target}: passes in {self.baseline_seconds[target]:.1f} s", flush=True)

    def mutant(self, entry):
        problem = snippet_problem(self.tree, entry)
        if problem:
            return "invalid", problem
        targets = self.tests_for.get(entry["folder"])
        if not targets:
            return "invalid", f"no test programs known for {entry['folder']}/"
        path = self.tree / entry["file"]
        original = path.read_bytes()
        self.backup_dir.mkdir(exist_ok=True)
        backup = self.backup_path(entry)
        backup.write_bytes(original)
        try:
            text = original.decode()
            # Written anew (new modification time) so that ninja rebuilds from it.
            path.write_bytes(text.replace(entry["find"], entry["repl"], 1).encode())
            error = self.ninja(targets)
            if error:
                return "invalid", f"build: {error}"
            details = []
            for target in targets:
                status, detail = self.run_test(target, self.timeout_for(target))
                if status in ("fail", "timeout"):
                    details.append(detail)
                    if not self.args.all_tests:
                        break
                elif status == "error":
                    return "invalid", detail
            return ("caught", "; ".join(details)) if details else ("survived", "")
        finally:
            self.kill_child()
            path.write_bytes(original)
            backup.unlink()


def main():
    here = Path(__file__).resolve().parent.parent
    p = argparse.ArgumentParser(description="Seeds one fault at a time and reports which ones the tests catch.")
    p.add_argument("--tree", default=str(here))
    p.add_argument("--build")
    p.add_argument("--list")
    p.add_argument("--only")
    p.add_argument("--folder", action="append")
    p.add_argument("--match")
    p.add_argument("--all-tests", action="store_true")
    p.add_argument("--timeout", type=float)
    p.add_argument("--tests")
    p.add_argument("--jobs", type=int, default=2)
    p.add_argument("--no-baseline", action="store_true")
    p.add_argument("--check", action="store_true")
    p.add_argument("--results")
    args = p.parse_args()
    tree = Path(args.tree).resolve()
    args.build = args.build or str(tree / "build")
    entries = select(parse_list(args.list or tree / "scripts" / "mutants.txt"), args)
    if not entries:
        sys.exit("no mutations selected")

    if args.check:
        bad = 0
        for e in entries:
            problem = snippet_problem(tree, e)
            if problem:
                bad += 1
                print(f"#{e['id']:<3} {e['file']}: {e['label']}: {problem}")
        print(f"{len(entries) - bad} of {len(entries)} snippets apply")
        return 1 if bad else 0

    for sig in (signal.SIGINT, signal.SIGTERM, signal.SIGHUP):
        signal.signal(sig, on_signal)
    runner = Runner(args)
    results = []
    try:
        runner.restore_leftovers()
        if not args.no_baseline:
            runner.baseline(sorted({e["folder"] for e in entries}))
        for e in entries:
            start = time.monotonic()
            status, detail = runner.mutant(e)
            results.append((e, status, detail))
            print(f"#{e['id']:<3} {status:<8} {e['file']}: {e['label']}  [{time.monotonic() - start:.0f} s]"
                  + (f"\n      {detail}" if detail else ""), flush=True)
        # Leave the build matching the restored tree (ninja sees the restored files as newer).
        runner.ninja(list(dict.fromkeys(t for e, _, _ in results for t in runner.tests_for.get(e["folder"], []))))
    except Stop as stop:
        print(f"stopped by {stop}; the mutated file was restored", file=sys.stderr)

    if args.results:
        with open(args.results, "w") as out:
            for e, status, detail in results:
                out.write("\t".join([str(e["id"]), status, e["folder"], e["file"], e["label"], detail]) + "\n")
    summarize(results)
    return 0


def summarize(results):
    if not results:
        return
    print("\nfolder      caught  survived  invalid")
    for folder in dict.fromkeys(e["folder"] for e, _, _ in results):
        counts = [sum(1 for e, s, _ in results if e["folder"] == folder and s == k)
                  for k in ("caught", "survived", "invalid")]
        print(f"{folder:<10} {counts[0]:>7} {counts[1]:>9} {counts[2]:>8}")
    caught = sum(1 for _, s, _ in results if s == "caught")
    valid = sum(1 for _, s, _ in results if s != "invalid")
    invalid = len(results) - valid
    print(f"caught {caught} of {valid}" + (f" ({invalid} invalid)" if invalid else ""))
    survivors = [e for e, s, _ in results if s == "survived"]
    if survivors:
        print("survivors:")
        for e in survivors:
            print(f"  #{e['id']:<3} {e['file']}: {e['label']}")


if __name__ == "__main__":
    sys.exit(main())
