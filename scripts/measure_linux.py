"""Measures the Linux program on Xvfb: time from exec to the keyboard window
being on screen, peak resident memory, and wake-ups while nobody plays.
Usage: measure_linux.py <Vellora binary> [runs]"""

import os
import statistics
import subprocess
import sys
import time

here = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(here, "..", "tests", "e2e"))
from harness import App, Desktop, MidiPeer  # noqa: E402


def status(pid, field, task=None):
    path = f"/proc/{pid}/task/{task}/status" if task else f"/proc/{pid}/status"
    with open(path) as f:
        for line in f:
            if line.startswith(field + ":"):
                return int(line.split()[1])
    return 0


def switches(pid, task=None):
    return (status(pid, "voluntary_ctxt_switches", task) +
            status(pid, "nonvoluntary_ctxt_switches", task))


def whole_process_switches(pid):
    return sum(switches(pid, t) for t in os.listdir(f"/proc/{pid}/task"))


binary = sys.argv[1]
runs = int(sys.argv[2]) if len(sys.argv) > 2 else 10
desktop = Desktop()
peer = MidiPeer(desktop)
ini = f"[dev]\r\ndev_num=1\r\ngakki={peer.port}\r\n"
starts, peaks, idle_main, idle_all, anon, shmem = [], [], [], [], [], []
try:
    for _ in range(runs):
        t0 = time.monotonic()
        app = App(desktop, binary, ini)
        starts.append((app.visible_at - t0) * 1000)
        pid = app.proc.pid
        time.sleep(1.0)  # let the start-up open and its waits finish
        main0, all0 = switches(pid, pid), whole_process_switches(pid)
        time.sleep(5.0)
        idle_main.append((switches(pid, pid) - main0) / 5.0)
        idle_all.append((whole_process_switches(pid) - all0) / 5.0)
        for x in (103, 131, 159):
            app.click(x, 100)
        time.sleep(0.3)
        peaks.append(status(pid, "VmHWM") / 1024)
        anon.append(status(pid, "RssAnon") / 1024)
        shmem.append(status(pid, "RssShmem") / 1024)
        app.close()
        app.stop()
finally:
    peer.close()
    desktop.close()

print(f"runs: {runs}")
print(f"exec to keyboard window visible: median {statistics.median(starts):.0f} ms "
      f"(min {min(starts):.0f}, max {max(starts):.0f})")
print(f"peak resident memory: median {statistics.median(peaks):.1f} MiB; at the end "
      f"{statistics.median(anon):.1f} MiB private, {statistics.median(shmem):.1f} MiB "
      f"shared memory (JACK's segments)")
print(f"idle wake-ups of the UI thread: median {statistics.median(idle_main):.1f} per second")
print(f"idle wake-ups of the whole process (JACK client threads included): "
      f"median {statistics.median(idle_all):.1f} per second")
