# SPDX-License-Identifier: MIT
"""What the end-to-end and installer tests share: the Windows programs of the build tree under the
tree's Wine (prefix, Japanese locale, the display scripts/test-windows started), and Unix paths as
Windows programs see them."""

import os
import subprocess
import time

APP_DIR = os.environ["SENTRYBELL_APP_DIR"]
SOURCE_DIR = os.environ["SENTRYBELL_SOURCE_DIR"]
BUILD_DIR = os.environ["SENTRYBELL_BUILD_DIR"]
WINE_RUN = os.environ["SENTRYBELL_WINE_RUN"]
WINEPREFIX = os.environ["SENTRYBELL_WINEPREFIX"]
RECORDER = os.environ["SENTRYBELL_RECORDER"]
PROBE = os.environ["SENTRYBELL_PROBE"]
VERSION = os.environ["SENTRYBELL_VERSION"]


def windows_path(unix_path):
    """The path as a Windows program reaches it: through drive Z:, the root of the Unix tree."""
    return "Z:" + os.path.abspath(unix_path).replace("/", "\\")


def drive_c(*parts):
    """A path on the prefix's drive C:, as a Unix path."""
    return os.path.join(WINEPREFIX, "drive_c", *parts)


def start(program, *arguments, cwd=None, env=None, output=None):
    """Starts a Windows program; the returned process ends when the Windows program ends. Its output
    goes to the file `output` names, or nowhere."""
    sink = open(output, "ab") if output else subprocess.DEVNULL
    try:
        return subprocess.Popen([WINE_RUN, program, *arguments], cwd=cwd, env=env, stdout=sink, stderr=sink)
    finally:
        if output:
            sink.close()


def run(program, *arguments, timeout=60):
    return subprocess.run([WINE_RUN, program, *arguments], capture_output=True, timeout=timeout)


def wait_for(condition, timeout, interval=0.05):
    """Polls until condition() is true; False once the time is up."""
    deadline = time.monotonic() + timeout
    while True:
        if condition():
            return True
        if time.monotonic() > deadline:
            return False
        time.sleep(interval)


def probe():
    """The running program's window as the probe sees it: a dict of window, visible, tray, caption."""
    output = run(PROBE, "state", timeout=30).stdout.decode("utf-8", "replace").strip()
    fields = {}
    for part in output.split(" ", 3):
        key, _, value = part.partition("=")
        fields[key] = value
    return fields
