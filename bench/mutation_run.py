#!/usr/bin/env python3
"""Mutation testing: how many hand-made faults the test suite notices.

Usage: mutation_run.py [--only AREA] [--list] [--tree DIR] [--build DIR] [--mutants FILE] [--jobs N]

Each mutant of mutants.txt (beside this script) replaces one snippet of one source file of the tree. The
harness applies it, rebuilds incrementally in a build folder of its own (Release, no sanitizers, tests on),
and runs the tests that link the mutated code: the test programs of its module and of the modules above it
(the module's own first), integration_tests and, where plotra-convert links it, the ctest checks that read
its drawings and pictures with independent readers and run it installed. The first failing (or hanging)
test kills the mutant. The file is always put back, also on Ctrl-C. A mutant that does not
build is reported as "not compiled" (a compile error is no kill) and must be fixed in the list.

--tree DIR runs the same mutants against another checkout (default: this script's repository); its build
folder is DIR/build-mut unless --build says otherwise.
"""
import argparse
import collections
import json
import os
import resource
import signal
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
AREAS = ["subprograms", "undrawn", "aside", "batch", "svg", "tight", "preview", "settings"]
KEYS = {"id", "area", "file", "find", "replace", "desc", "equivalent"}

# Test programs: the targets they need, and how ctest runs them (working folder below the build folder,
# extra environment). app_tests runs twice, as ctest registers it a second time under a German locale.
GROUPS = {
    "core_tests": (["core_tests"], [("bin/core_tests", "core/tests", {})]),
    "nc_tests": (["nc_tests"], [("bin/nc_tests", "nc/tests", {})]),
    "dxf_tests": (["dxf_tests"], [("bin/dxf_tests", "dxf/tests", {})]),
    "conversion_tests": (["conversion_tests"], [("bin/conversion_tests", "conversion/tests", {})]),
    "cli_tests": (["cli_tests"], [("bin/cli_tests", "cli/tests", {})]),
    "integration_tests": (["integration_tests", "plotra-convert"], [("bin/integration_tests", "tests", {})]),
    "app_tests": (["app_tests"], [("bin/app_tests", "app/tests", {}),
                                  ("bin/app_tests", "app/tests", {"LC_ALL": "de_DE.UTF-8"})]),
    # The independent readers of drawings and pictures, and the installed converter, run by ctest.
    "ctest_checks": (["plotra-convert"], None),
}
CTEST_CHECKS = "^(drawings_read_by_ezdxf|pictures_read_by_rsvg|installation)$"

# Which test programs link each module, the module's own first; cheap ones before the ctest checks.
SEEN_BY = {
    "core": ["core_tests", "integration_tests", "nc_tests", "dxf_tests", "conversion_tests", "cli_tests",
             "app_tests", "ctest_checks"],
    "nc": ["nc_tests", "integration_tests", "dxf_tests", "conversion_tests", "cli_tests", "app_tests",
           "ctest_checks"],
    "dxf": ["dxf_tests", "integration_tests", "conversion_tests", "cli_tests", "app_tests", "ctest_checks"],
    "conversion": ["conversion_tests", "integration_tests", "cli_tests", "app_tests", "ctest_checks"],
    "cli": ["cli_tests", "integration_tests", "ctest_checks"],
    "app": ["app_tests"],
}

# A mutant that loops may write without end; a file above this size stops the test (SIGXFSZ), a kill.
MAX_FILE_SIZE = 1 << 30
MIN_TIMEOUT = 60.0
TIMEOUT_FACTOR = 10.0


STOP_SIGNALS = (signal.SIGINT, signal.SIGTERM, signal.SIGHUP)


class Stop(Exception):
    """A signal asked the harness to stop."""


def on_signal(number, _frame):
    raise Stop(signal.Signals(number).name)


def read_mutants(path):
    mutants, current = [], {}
    with open(path, encoding="utf-8") as source:
        for number, line in enumerate(source, 1):
            line = line.rstrip("\n")
            if line.startswith("#"):
                continue
            if not line.strip():
                if current:
                    mutants.append(current)
                current = {}
                continue
            key, sep, value = line.partition(":")
            if not sep or key not in KEYS:
                sys.exit("%s:%d: expected one of %s" % (path, number, ", ".join(sorted(KEYS))))
            if key in current:
                sys.exit("%s:%d: %s given twice" % (path, number, key))
            current[key] = value[1:] if value.startswith(" ") else value
    if current:
        mutants.append(current)
    seen = set()
    for mutant in mutants:
        missing = {"id", "area", "file", "find", "replace", "desc"} - mutant.keys()
        if missing:
            sys.exit("%s: mutant %s lacks %s" % (path, mutant.get("id", "?"), ", ".join(sorted(missing))))
        if mutant["area"] not in AREAS:
            sys.exit("%s: mutant %s has an unknown area %s" % (path, mutant["id"], mutant["area"]))
        if mutant["id"] in seen:
            sys.exit("%s: mutant id %s given twice" % (path, mutant["id"]))
        if mutant["file"].split("/")[0] not in SEEN_BY:
            sys.exit("%s: mutant %s is in no known module" % (path, mutant["id"]))
        seen.add(mutant["id"])
    return mutants


def repository_of(path):
    return subprocess.run(["git", "-C", path, "rev-parse", "--show-toplevel"], check=True, capture_output=True,
                          text=True).stdout.strip()


def limit_files():
    os.setsid()
    resource.setrlimit(resource.RLIMIT_FSIZE, (MAX_FILE_SIZE, MAX_FILE_SIZE))


def run(command, cwd, log, timeout=None, env=None, test=False):
    """Runs `command` with its output appended to `log`; 'ok', 'failed' or 'timeout'."""
    log.write("$ %s  (in %s)\n" % (" ".join(command), cwd))
    log.flush()
    process = subprocess.Popen(command, cwd=cwd, stdout=log, stderr=subprocess.STDOUT, stdin=subprocess.DEVNULL,
                               env=env, preexec_fn=limit_files if test else os.setsid)
    try:
        code = process.wait(timeout=timeout)
    except subprocess.TimeoutExpired:
        os.killpg(process.pid, signal.SIGKILL)
        process.wait()
        log.write("-- timed out after %.0f s\n" % timeout)
        return "timeout"
    except BaseException:
        os.killpg(process.pid, signal.SIGKILL)
        process.wait()
        raise
    log.write("-- exit %d\n" % code)
    return "ok" if code == 0 else "failed"


class Harness:
    def __init__(self, tree, build, jobs, log):
        self.tree, self.build, self.jobs, self.log = tree, build, jobs, log
        self.timeouts = {}

    def configure(self):
        if not os.path.exists(os.path.join(self.build, "build.ninja")):
            command = ["cmake", "-S", self.tree, "-B", self.build, "-G", "Ninja", "-DCMAKE_BUILD_TYPE=Release",
                       "-DPLOTRA_SANITIZE=OFF", "-DPLOTRA_TESTS=ON"]
            if run(command, self.tree, self.log) != "ok":
                sys.exit("cmake failed; see %s" % self.log.name)

    def make(self, targets):
        return run(["ninja", "-C", self.build, "-j%d" % self.jobs] + targets, self.tree, self.log) == "ok"

    def test(self, group, timeout):
        """'ok', 'failed' or 'timeout' for one test program."""
        commands = GROUPS[group][1]
        if commands is None:
            return run(["ctest", "-R", CTEST_CHECKS, "--timeout", str(int(timeout))], self.build, self.log,
                       timeout=timeout + 30, test=True)
        for program, folder, extra in commands:
            env = dict(os.environ, **extra)
            outcome = run([os.path.join(self.build, program), "--gtest_brief=1"], os.path.join(self.build, folder),
                          self.log, timeout=timeout, env=env, test=True)
            if outcome != "ok":
                return outcome
        return "ok"

    def baseline(self, groups):
        """Builds the unmutated tree and times every test program; all of them must pass."""
        # Everything, as the installation check installs every program.
        if not self.make([]):
            sys.exit("the unmutated tree does not build; see %s" % self.log.name)
        for group in groups:
            start = time.monotonic()
            if self.test(group, 600.0) != "ok":
                sys.exit("%s fails on the unmutated tree; see %s" % (group, self.log.name))
            took = time.monotonic() - start
            self.timeouts[group] = max(MIN_TIMEOUT, TIMEOUT_FACTOR * took)
            print("  baseline %-18s %6.1f s" % (group, took), flush=True)

    def try_mutant(self, mutant):
        """(outcome, detail): killed, survived, not compiled or not applicable."""
        path = os.path.join(self.tree, mutant["file"])
        if not os.path.exists(path):
            return "not applicable", "no such file"
        with open(path, "rb") as source:
            original = source.read()
        find, replace = mutant["find"].encode(), mutant["replace"].encode()
        found = original.count(find)
        if found != 1:
            return "not applicable", "snippet found %d times" % found
        try:
            with open(path, "wb") as target:
                target.write(original.replace(find, replace))
            built = set()
            for group in SEEN_BY[mutant["file"].split("/")[0]]:
                needed = [target for target in GROUPS[group][0] if target not in built]
                if needed:
                    if not self.make(needed):
                        return "not compiled", "building %s" % " ".join(needed)
                    built.update(needed)
                outcome = self.test(group, self.timeouts[group])
                if outcome != "ok":
                    return "killed", group + (" (hang)" if outcome == "timeout" else "")
            return "survived", ""
        finally:
            # No signal may cut the file short while it is put back.
            blocked = signal.pthread_sigmask(signal.SIG_BLOCK, STOP_SIGNALS)
            try:
                with open(path, "wb") as target:
                    target.write(original)
            finally:
                signal.pthread_sigmask(signal.SIG_SETMASK, blocked)


def print_list(mutants, tree):
    """Lists the mutants, flagging those whose snippet does not occur exactly once in the tree."""
    for mutant in mutants:
        mark = "  [equivalent: %s]" % mutant["equivalent"] if "equivalent" in mutant else ""
        try:
            with open(os.path.join(tree, mutant["file"]), "rb") as source:
                found = source.read().count(mutant["find"].encode())
        except OSError:
            found = 0
        if found != 1:
            mark += "  NOT APPLICABLE: snippet found %d times" % found
        print("%-13s %-34s %s%s" % (mutant["id"], mutant["file"], mutant["desc"], mark))


def print_results(mutants, results, seconds):
    table = collections.OrderedDict((area, collections.Counter()) for area in AREAS)
    for mutant in mutants:
        outcome = results.get(mutant["id"], ("not run", ""))[0]
        counts = table[mutant["area"]]
        counts["mutants"] += 1
        counts["equivalent" if "equivalent" in mutant else outcome] += 1
        if "equivalent" in mutant:
            counts["equivalent " + outcome] += 1
    columns = ["mutants", "killed", "survived", "equivalent", "not compiled", "not applicable", "not run"]
    print("\n%-12s" % "area" + "".join("%15s" % column for column in columns) + "%9s" % "score")
    total = collections.Counter()
    for area, counts in table.items():
        if counts["mutants"] == 0:
            continue
        total.update(counts)
        print(score_row(area, counts, columns))
    print(score_row("all", total, columns))
    judged = total["killed"] + total["survived"]
    if judged:
        print("\nscore: %d killed / %d non-equivalent = %.1f%%" % (total["killed"], judged,
                                                                   100.0 * total["killed"] / judged))
    if total["equivalent killed"]:
        print("(%d mutant(s) marked equivalent were killed: check the marks)" % total["equivalent killed"])
    for title, wanted in (("survivors", "survived"), ("not compiled", "not compiled"),
                          ("not applicable", "not applicable")):
        chosen = [m for m in mutants if "equivalent" not in m and results.get(m["id"], ("",))[0] == wanted]
        if chosen:
            print("\n%s:" % title)
            for mutant in chosen:
                detail = results[mutant["id"]][1]
                print("  %-13s %-34s %s%s" % (mutant["id"], mutant["file"], mutant["desc"],
                                              "  (%s)" % detail if detail else ""))
    print("\nrun time: %d min %02d s" % divmod(int(seconds), 60))


def score_row(area, counts, columns):
    judged = counts["killed"] + counts["survived"]
    score = "%8.1f%%" % (100.0 * counts["killed"] / judged) if judged else "%9s" % "-"
    return "%-12s" % area + "".join("%15d" % counts[column] for column in columns) + score


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--only", choices=AREAS, help="run the mutants of one area")
    parser.add_argument("--list", action="store_true", help="list the mutants and stop")
    parser.add_argument("--tree", help="the source tree to mutate (default: this script's repository)")
    parser.add_argument("--build", help="the build folder (default: TREE/build-mut)")
    parser.add_argument("--mutants", default=os.path.join(HERE, "mutants.txt"), help="the list of mutants")
    parser.add_argument("--jobs", type=int, default=2, help="ninja's parallel jobs (default 2)")
    args = parser.parse_args()

    mutants = read_mutants(args.mutants)
    if args.only:
        mutants = [mutant for mutant in mutants if mutant["area"] == args.only]
    tree = repository_of(args.tree or HERE)
    if args.list:
        print_list(mutants, tree)
        return 0

    build = os.path.abspath(args.build or os.path.join(tree, "build-mut"))
    was_clean = subprocess.run(["git", "-C", tree, "diff", "--quiet"]).returncode == 0
    if not was_clean:
        print("warning: %s has local changes; they are kept and mutated along" % tree)
    os.makedirs(build, exist_ok=True)
    log_path = os.path.join(build, "mutation_run.log")
    results_path = os.path.join(build, "mutation_results.json")
    for number in STOP_SIGNALS:
        signal.signal(number, on_signal)
    modules = {mutant["file"].split("/")[0] for mutant in mutants}
    groups = [group for group in GROUPS if any(group in SEEN_BY[module] for module in modules)]

    start = time.monotonic()
    results = {}
    interrupted = None
    with open(log_path, "w", encoding="utf-8", errors="replace") as log:
        harness = Harness(tree, build, args.jobs, log)
        print("tree %s, build %s, log %s" % (tree, build, log_path), flush=True)
        try:
            harness.configure()
            harness.baseline(groups)
            for index, mutant in enumerate(mutants, 1):
                log.write("\n=== %s %s: %s\n" % (mutant["id"], mutant["file"], mutant["desc"]))
                began = time.monotonic()
                results[mutant["id"]] = harness.try_mutant(mutant)
                outcome, detail = results[mutant["id"]]
                print("[%3d/%d] %-13s %-14s %-22s %5.1f s%s" % (
                    index, len(mutants), mutant["id"], outcome, detail, time.monotonic() - began,
                    "  (marked equivalent)" if "equivalent" in mutant else ""), flush=True)
        except Stop as stop:
            interrupted = str(stop)
        except KeyboardInterrupt:
            interrupted = "SIGINT"
        finally:
            for number in STOP_SIGNALS:
                signal.signal(number, signal.SIG_IGN)
            # The build folder goes back to the unmutated sources, ready for the next run.
            if results:
                harness.make([])
    with open(results_path, "w", encoding="utf-8") as out:
        json.dump({mutant_id: list(result) for mutant_id, result in results.items()}, out, indent=1)

    print_results(mutants, results, time.monotonic() - start)
    if interrupted:
        print("interrupted by %s: %d of %d mutants run" % (interrupted, len(results), len(mutants)))
    if was_clean and subprocess.run(["git", "-C", tree, "diff", "--quiet"]).returncode != 0:
        print("ERROR: the source tree is not clean after the run")
        return 2
    return 1 if interrupted else 0


if __name__ == "__main__":
    sys.exit(main())
