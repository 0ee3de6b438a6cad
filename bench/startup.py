#!/usr/bin/env python3
"""Start-up time (process start to the window painted once, offscreen) and peak
memory of the calculator beside a bare Qt program showing an empty window of
the same size. Run once the bench preset is built:  bench/startup.py [runs]"""
import os
import statistics
import subprocess
import sys
import time

built = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "build-bench", "bench")
programs = {"form": os.path.join(built, "startup_probe"), "bare": os.path.join(built, "bare_window")}
runs = int(sys.argv[1]) if len(sys.argv) > 1 else 20
env = dict(os.environ)
env.setdefault("QT_QPA_PLATFORM", "offscreen")  # xcb under xvfb-run for a real X server
# Without a session bus, both start none, as the calculator itself does: on
# X, libdbus would otherwise launch one for each run and leave it running.
if not env.get("DBUS_SESSION_BUS_ADDRESS"):
    env["DBUS_SESSION_BUS_ADDRESS"] = "disabled:"


def run(mode):
    start = time.perf_counter()
    process = subprocess.Popen([programs[mode]], env=env,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    _, status, usage = os.wait4(process.pid, 0)
    elapsed = time.perf_counter() - start
    if status != 0:
        sys.exit(f"{programs[mode]} failed with status {status}")
    return elapsed, usage.ru_maxrss  # kilobytes


results = {"form": [], "bare": []}
for _ in range(runs):  # alternating, so that both see the same machine
    for mode in results:
        results[mode].append(run(mode))

median = {mode: statistics.median(t for t, _ in rows) for mode, rows in results.items()}
peak = {mode: max(m for _, m in rows) for mode, rows in results.items()}
for mode in results:
    print(f"{mode:5}  start-up median {median[mode] * 1000:7.1f} ms   peak memory {peak[mode] / 1024:6.1f} MiB")
print(f"ratio  start-up {median['form'] / median['bare']:.2f}   peak memory {peak['form'] / peak['bare']:.2f}")
