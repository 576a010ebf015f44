"""Shows the Linux program working where there is no screen: starts it on a
virtual display with a dummy JACK server, switches it to a MIDI monitor, plays
a few notes by clicking, saves a screenshot and closes it."""

import os
import sys
import time

here = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(here, "..", "tests", "e2e"))
from harness import App, Desktop, MidiPeer  # noqa: E402

binary, out_dir = sys.argv[1], sys.argv[2]
os.makedirs(out_dir, exist_ok=True)
desktop = Desktop()
peer = MidiPeer(desktop)
app = App(desktop, binary)
try:
    time.sleep(0.5)
    app.key("alt+v")          # 音源(&V): the device window
    devices = app.device_window()[0]
    app.key("End", window=devices)  # the last entry: the MIDI monitor
    time.sleep(0.8)
    app.click(150, 4)         # a click in the program bar: one program up
    for x in (103, 131, 159):  # C4, E4, G4
        app.click(x, 100)
        time.sleep(0.15)
    app.down(187, 100)        # hold B4 for the picture
    time.sleep(0.3)
    shot = os.path.join(out_dir, "screenshot.png")
    desktop.screenshot(shot)
    app.up()
    time.sleep(0.3)
    app.close()
    midi = os.path.join(out_dir, "midi.txt")
    with open(midi, "w") as f:
        f.write("\n".join(peer.hex()) + "\n")
    ini = os.path.join(out_dir, "Vellora.ini")
    with open(ini, "wb") as f:
        f.write(open(app.ini, "rb").read())
    print(f"Screenshot:    {shot}")
    print(f"Settings file: {ini}")
    print(f"MIDI sent to the monitor port {peer.port}: {midi}")
    print("\n".join(peer.hex()[-12:]))
finally:
    app.stop()
    peer.close()
    desktop.close()
