#!/usr/bin/env python3
"""Start-up of the application to a visible main window, under Xvfb.

Starts one Xvfb, prepares a settings folder (system number set, no dongle configured), then starts
build/bin/hollowmere once to warm the caches and RUNS more times, each until the X server reports
that the main window was mapped; prints every time and the median. Each start is then ended with
SIGTERM, as a logout would.

Usage: bench/startup.py [--binary PATH] [--runs N] [--target-ms MS] [-- APP ARGS...]
Needs Xvfb (Debian package xvfb). Exit status 1 when the median misses the target.
"""
import argparse
import ctypes
import ctypes.util
import os
import select
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import time

TITLE = b"Brisquent - Quillmark"
MAP_NOTIFY = 19
SUBSTRUCTURE_NOTIFY_MASK = 1 << 19


class XEvent(ctypes.Union):
    _fields_ = [("type", ctypes.c_int), ("pad", ctypes.c_long * 24)]


def load_xlib():
    xlib = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
    xlib.XOpenDisplay.restype = ctypes.c_void_p
    xlib.XOpenDisplay.argtypes = [ctypes.c_char_p]
    xlib.XDefaultRootWindow.restype = ctypes.c_ulong
    xlib.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
    xlib.XSelectInput.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_long]
    xlib.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
    xlib.XPending.argtypes = [ctypes.c_void_p]
    xlib.XNextEvent.argtypes = [ctypes.c_void_p, ctypes.POINTER(XEvent)]
    xlib.XConnectionNumber.argtypes = [ctypes.c_void_p]
    xlib.XFetchName.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(ctypes.c_char_p)]
    xlib.XCloseDisplay.argtypes = [ctypes.c_void_p]
    return xlib


def start_xvfb():
    read_end, write_end = os.pipe()
    server = subprocess.Popen(
        ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1280x1024x24", "-nolisten", "tcp"],
        pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write_end)
    with os.fdopen(read_end) as stream:
        number = stream.readline().strip()
    if not number:
        server.kill()
        sys.exit("bench/startup.py: Xvfb did not start")
    return server, ":" + number


def open_display(xlib, display, timeout_s=10.0):
    """The server may name its display a moment before it takes connections."""
    deadline = time.monotonic() + timeout_s
    while True:
        connection = xlib.XOpenDisplay(display.encode())
        if connection:
            return connection
        if time.monotonic() > deadline:
            sys.exit("bench/startup.py: cannot open display " + display)
        time.sleep(0.05)


def prepare_home(home):
    setup = os.path.join(home, "Documents", "Quillmark", "Brisquent", "Setup")
    os.makedirs(setup, exist_ok=True)
    with open(os.path.join(setup, "lastone.ini"), "wb") as stream:
        stream.write(b"[user]\r\nsystem-no=5\r\n")
    with open(os.path.join(setup, "define.ini"), "wb") as stream:
        stream.write(b"[parameter]\r\n")
    environment = dict(os.environ)
    environment.update({
        "HOME": home,
        "XDG_DOCUMENTS_DIR": os.path.join(home, "Documents"),
        "XDG_CONFIG_HOME": os.path.join(home, ".config"),
        "XDG_RUNTIME_DIR": os.path.join(home, "runtime"),
        "QT_QPA_PLATFORM": "xcb",
    })
    os.makedirs(environment["XDG_RUNTIME_DIR"], mode=0o700, exist_ok=True)
    return environment


def time_one_start(xlib, display, command, environment, timeout_s=20.0):
    """Milliseconds from the spawn to the main window's MapNotify."""
    connection = open_display(xlib, display)
    try:
        xlib.XSelectInput(connection, xlib.XDefaultRootWindow(connection), SUBSTRUCTURE_NOTIFY_MASK)
        xlib.XSync(connection, 0)
        start = time.monotonic()
        process = subprocess.Popen(command, env=environment, stdout=subprocess.DEVNULL,
                                   stderr=subprocess.DEVNULL)
        elapsed = None
        event = XEvent()
        fd = xlib.XConnectionNumber(connection)
        while elapsed is None and time.monotonic() - start < timeout_s:
            if xlib.XPending(connection) == 0:
                select.select([fd], [], [], 0.05)
                continue
            xlib.XNextEvent(connection, ctypes.byref(event))
            if event.type != MAP_NOTIFY:
                continue
            # XMapEvent: type, serial, send_event, display, event, window, override_redirect.
            window = event.pad[5]
            name = ctypes.c_char_p()
            if xlib.XFetchName(connection, window, ctypes.byref(name)) and name.value == TITLE:
                elapsed = (time.monotonic() - start) * 1000.0
        process.send_signal(signal.SIGTERM)
        try:
            process.wait(timeout=20)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()
        if elapsed is None:
            sys.exit("bench/startup.py: the main window never appeared")
        return elapsed
    finally:
        xlib.XCloseDisplay(connection)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--binary", default=os.path.join(here, "..", "build", "bin", "hollowmere"))
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--target-ms", type=float, default=300.0)
    parser.add_argument("app_args", nargs="*")
    options = parser.parse_args()
    if shutil.which("Xvfb") is None:
        sys.exit("bench/startup.py: Xvfb is missing (apt-get install xvfb)")
    xlib = load_xlib()
    server, display = start_xvfb()
    try:
        with tempfile.TemporaryDirectory(prefix="hollowmere-startup-") as home:
            environment = prepare_home(home)
            environment["DISPLAY"] = display
            command = [os.path.abspath(options.binary)] + options.app_args
            time_one_start(xlib, display, command, environment)  # warm the caches
            times = [time_one_start(xlib, display, command, environment) for _ in range(options.runs)]
    finally:
        server.terminate()
        server.wait()
    median = statistics.median(times)
    print("start-up to a visible main window (ms):", " ".join("%.0f" % t for t in times))
    print("median %.0f ms, target %.0f ms: %s" % (median, options.target_ms,
                                                  "met" if median < options.target_ms else "MISSED"))
    return 0 if median < options.target_ms else 1


if __name__ == "__main__":
    sys.exit(main())
