"""What every command-line test script shares: its arguments, the program
run in a work folder of its own (through the Wine runner for a Windows
build), in a language chosen with --lang, and the count of its checks."""
import argparse
import os
import shutil
import subprocess
import tempfile


class Runner:
    """The program as a user runs it from the work folder. Every run names
    its language, so that the locale the tests run in changes no message."""

    def __init__(self, command, work, wine=False, lang="en"):
        self.command = command
        self.work = work
        self.wine = wine
        self.lang = lang

    def _command(self, args, lang):
        return self.command + ["--lang", lang or self.lang] + list(args)

    def run(self, *args, timeout=600, cwd=None, prefix=(), lang=None):
        # Paths are given relative to the work directory, which Wine reaches too.
        return subprocess.run(list(prefix) + self._command(args, lang), cwd=cwd or self.work, capture_output=True,
                              timeout=timeout)

    def start(self, *args):
        return subprocess.Popen(self._command(args, None), cwd=self.work, stdout=subprocess.PIPE,
                                stderr=subprocess.PIPE)


class Checks:
    """check(name, ok, detail): counts, and prints what failed at once."""

    def __init__(self):
        self.passed = 0
        self.failed = 0

    def __call__(self, name, ok, detail=""):
        if ok:
            self.passed += 1
        else:
            self.failed += 1
            print(f"FAIL {name}: {detail}", flush=True)

    def report(self):
        print(f"{self.passed} passed, {self.failed} failed", flush=True)
        return 1 if self.failed else 0


class Session:
    """The parsed arguments, the work folder, the runner (and the native
    program's, with --native) and the checks of one test script."""

    def __init__(self, prefix, native=False, arguments=None):
        parser = argparse.ArgumentParser()
        parser.add_argument("program")
        parser.add_argument("--runner", default=None)
        if native:
            parser.add_argument("--native", default=None, help="the native program, to compare the bytes with")
        if arguments:
            arguments(parser)
        self.options = parser.parse_args()
        self.command = (([os.path.abspath(self.options.runner)] if self.options.runner else []) +
                        [os.path.abspath(self.options.program)])
        self.work = tempfile.mkdtemp(prefix=prefix)
        self.runner = Runner(self.command, self.work, self.options.runner is not None)
        self.native = None
        if native and self.options.native:
            if os.path.exists(self.options.native):
                self.native = Runner([os.path.abspath(self.options.native)], self.work)
            else:
                print(f"NOTICE: no native program at {self.options.native}: the byte comparison with it is skipped",
                      flush=True)
        self.check = Checks()

    def path(self, name):
        return os.path.join(self.work, name)

    def close(self):
        shutil.rmtree(self.work, ignore_errors=True)
