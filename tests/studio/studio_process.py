"""Starts a studio (natively, or a Windows build under Wine) and stops it."""
import os
import re
import signal
import subprocess
import time

ADDRESS = re.compile(r"http://127\.0\.0\.1:(\d+)/\?token=([0-9a-f]+)")


def program_path(path, runner):
    """A path as the program takes it: under Wine, on its drive Z:."""
    return "Z:" + os.path.abspath(path).replace("/", "\\") if runner else path


class Studio:
    """A running `qzffont studio`; use as a context manager."""

    def __init__(self, program, runner=None, args=(), cwd=None, env=None):
        command = ([runner] if runner else []) + [program]
        if os.path.basename(program).startswith("qzffont") and "studio" not in os.path.basename(program):
            command.append("studio")
        command += ["--no-browser"] + list(args)
        self.process = subprocess.Popen(command, cwd=cwd, env=env, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                                        start_new_session=True)
        self.port = None
        self.token = None
        self.lines = []
        deadline = time.time() + 120
        while time.time() < deadline:
            line = self.process.stdout.readline().decode("utf-8", "replace")
            if not line:
                break
            self.lines.append(line)
            found = ADDRESS.search(line)
            if found:
                self.port = int(found.group(1))
                self.token = found.group(2)
                return
        self.stop()
        raise RuntimeError("the studio did not start: " + "".join(self.lines) +
                           self.process.stderr.read().decode("utf-8", "replace"))

    @property
    def base(self):
        return "http://127.0.0.1:%d" % self.port

    @property
    def url(self):
        return "%s/?token=%s" % (self.base, self.token)

    def stop(self):
        if self.process.poll() is None:
            try:
                os.killpg(self.process.pid, signal.SIGINT)
                self.process.wait(timeout=30)
            except (subprocess.TimeoutExpired, ProcessLookupError):
                os.killpg(self.process.pid, signal.SIGKILL)
                self.process.wait()
        return self.process.returncode

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.stop()
