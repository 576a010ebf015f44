"""End to end: the real Linux program on Xvfb, played with xdotool, sending
to jack_midi_dump over a dummy JACK server."""

import os
import subprocess
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(__file__))
from harness import App, Desktop, MidiPeer  # noqa: E402

BINARY = os.environ.get("VELLORA_BINARY", "")
GS_RESET = "F0 41 10 42 12 40 00 7F 00 41 F7"
WHITE, GREY, RED = (255, 255, 255), (128, 128, 128), (255, 0, 0)


def midi_inputs(desktop):
    """JACK MIDI input ports in the server's order: the program lists them so."""
    out = subprocess.run(["jack_lsp", "-t", "-p"], env=desktop.env, capture_output=True,
                         text=True).stdout.splitlines()
    ports, i = [], 0
    while i < len(out):
        name = out[i]
        props = out[i + 1] if i + 1 < len(out) else ""
        kind = out[i + 2] if i + 2 < len(out) else ""
        if "input" in props and "midi" in kind:
            ports.append(name.strip())
        i += 3
    return ports


def settle(peer, seconds=0.3):
    """Lets the last messages arrive, then returns all received so far."""
    time.sleep(seconds)
    return peer.hex()


class LinuxProgram(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.desktop = Desktop()
        cls.a = MidiPeer(cls.desktop)
        cls.b = MidiPeer(cls.desktop)

    @classmethod
    def tearDownClass(cls):
        cls.a.close()
        cls.b.close()
        cls.desktop.close()

    def start(self, on_port=None):
        """Starts the program on a peer's port and waits for its GS Reset there."""
        peer = {self.a.port: self.a, self.b.port: self.b}.get(on_port)
        started = self.mark(peer) if peer else None
        ini = None
        if on_port is not None:
            position = 1 + midi_inputs(self.desktop).index(on_port)
            ini = f"[dev]\r\ndev_num={position}\r\ngakki={on_port}\r\n"
        app = App(self.desktop, BINARY, ini)
        self.addCleanup(app.stop)
        if started:
            self.assertEqual(self.wait(started, 1), [GS_RESET])
        return app

    @staticmethod
    def mark(peer):
        """What the peer receives from now on."""
        n = len(peer.hex())
        return lambda: peer.hex()[n:]

    @staticmethod
    def wait(received, count, timeout=5):
        end = time.monotonic() + timeout
        while len(received()) < count and time.monotonic() < end:
            time.sleep(0.05)
        time.sleep(0.1)  # anything more that is on its way
        return received()

    def test_keys_send_their_notes_and_turn_red_while_held(self):
        app = self.start(on_port=self.a.port)
        cases = [  # x, y, note, a point of that key for its colour
            (5, 100, "30", (5, 100), WHITE),
            (12, 40, "31", (13, 40), GREY),    # the black key over Shape1
            (14, 100, "32", (20, 100), WHITE),  # the later of two white keys
            (126, 100, "3E", (118, 100), WHITE),  # Shape19, created after Shape18
            (290, 100, "53", (290, 100), WHITE),  # the highest key
        ]
        for x, y, note, (px, py), rest in cases:
            with self.subTest(x=x, y=y):
                sent = self.mark(self.a)
                app.down(x, y)
                self.assertEqual(self.wait(sent, 2), ["C0 00", f"90 {note} 64"])
                self.assertEqual(app.pixel(px, py), RED)
                app.up()
                self.assertEqual(self.wait(sent, 3), ["C0 00", f"90 {note} 64", f"80 {note} 7F"])
                self.assertEqual(app.pixel(px, py), rest)

    def test_other_buttons_and_a_drag_off_the_window(self):
        app = self.start(on_port=self.a.port)
        sent = self.mark(self.a)
        app.click(5, 100, button=3)
        app.click(103, 100, button=2)
        self.assertEqual(self.wait(sent, 6), ["C0 00", "90 30 64", "80 30 7F", "C0 00", "90 3C 64", "80 3C 7F"])

        sent = self.mark(self.a)
        app.down(103, 100)
        time.sleep(0.1)
        self.desktop.xdotool("mousemove", 900, 700)  # off the window, button still down
        app.up()
        self.assertEqual(self.wait(sent, 3), ["C0 00", "90 3C 64", "80 3C 7F"])
        self.assertEqual(app.pixel(103, 100), WHITE)

    def test_the_program_bar_by_mouse_and_by_keyboard(self):
        app = self.start(on_port=self.a.port)

        def program_of_next_note():
            sent = self.mark(self.a)
            app.click(5, 100)
            return self.wait(sent, 3)[0]

        app.click(290, 4)  # the bar's right arrow
        self.assertEqual(program_of_next_note(), "C0 01")
        app.key("End")
        self.assertEqual(program_of_next_note(), "C0 7E")
        app.key("Home")
        self.assertEqual(program_of_next_note(), "C0 00")
        app.key(*["Right"] * 39)
        self.assertEqual(program_of_next_note(), "C0 27")
        app.key("Next")  # Page Down
        self.assertEqual(program_of_next_note(), "C0 28")
        app.key("Prior", "Left")
        self.assertEqual(program_of_next_note(), "C0 26")

    def test_the_device_window_switches_on_a_pick_and_on_backspace(self):
        app = self.start(on_port=self.a.port)
        ports = midi_inputs(self.desktop)
        self.assertEqual(ports.index(self.b.port), ports.index(self.a.port) + 1)

        app.key("alt+v")
        devices = app.device_window()[0]
        old, new = self.mark(self.a), self.mark(self.b)
        app.key("Down", window=devices)  # the next entry: peer B
        received = self.wait(new, 33)
        self.assertEqual(old(), ["B9 78 00"])
        self.assertNotIn("B9 78 00", received)
        self.assertEqual(received[-1], GS_RESET)

        again = self.mark(self.b)
        app.key("BackSpace", window=devices)  # the same device, switched to again
        received = self.wait(again, 34)
        self.assertEqual(received[0], "B9 78 00")
        self.assertEqual(received[-1], GS_RESET)

        sent = self.mark(self.b)
        app.click(5, 100)
        self.assertEqual(self.wait(sent, 3), ["C0 00", "90 30 64", "80 30 7F"])

    def test_closing_the_window_writes_the_settings_file(self):
        app = self.start()  # no settings file: the first device, the synthesizer
        self.assertEqual(app.close(), 0)
        self.assertEqual(app.settings(),
                         "[window]\r\nHeight=164\r\nWidth=304\r\nTop=100\r\nLeft=100\r\n\r\n"
                         "[dev]\r\ndev_num=0\r\ngakki=Vellora GM Synth\r\nmap=4\r\n\r\n")

        # The stored port is found again at the next start.
        port = self.a.port
        position = 1 + midi_inputs(self.desktop).index(port)
        with open(app.ini, "w", newline="") as f:
            f.write(f"[WINDOW]\nLEFT=0x20\nTop=40\n[dev]\ndev_num={position}\ngakki={port}\n")
        started = self.mark(self.a)
        app2 = App(self.desktop, BINARY, open(app.ini).read())
        self.addCleanup(app2.stop)
        self.assertEqual((app2.left, app2.top), (32, 40))
        self.assertEqual(self.wait(started, 1), [GS_RESET])
        self.assertEqual(app2.close(), 0)
        self.assertIn(f"dev_num={position}\r\ngakki={port}\r\n", app2.settings())
        self.assertTrue(app2.settings().startswith("[WINDOW]\r\nLeft=32\r\nTop=40\r\n"))


class DyingPeer(unittest.TestCase):
    """A JACK server of its own: a peer killed mid-note upsets the server for a while."""

    def setUp(self):
        self.desktop = Desktop()
        self.addCleanup(self.desktop.close)

    def test_a_peer_that_dies_while_a_note_plays_is_survived(self):
        doomed = MidiPeer(self.desktop)
        position = 1 + midi_inputs(self.desktop).index(doomed.port)
        started = LinuxProgram.mark(doomed)
        app = App(self.desktop, BINARY, f"[dev]\r\ndev_num={position}\r\ngakki={doomed.port}\r\n")
        self.addCleanup(app.stop)
        self.assertEqual(LinuxProgram.wait(started, 1), [GS_RESET])
        app.down(103, 100)
        time.sleep(0.2)
        doomed.proc.kill()  # the peer crashes mid-note
        doomed.proc.wait()
        app.up()
        for x in (131, 159, 187):
            app.click(x, 100)
        time.sleep(0.3)
        self.assertIsNone(app.proc.poll())
        # Still usable: another device can be chosen and played.
        app.key("alt+v")
        app.key("Home", window=app.device_window()[0])  # the first entry, the synthesizer
        time.sleep(0.5)
        app.click(103, 100)
        time.sleep(0.3)
        self.assertEqual(app.close(), 0)
        self.assertIn("dev_num=0\r\ngakki=Vellora GM Synth\r\n", app.settings())
        doomed.out.close()
        os.unlink(doomed.out.name)


if __name__ == "__main__":
    unittest.main(verbosity=2)
