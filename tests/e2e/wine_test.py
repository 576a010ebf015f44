"""End to end: the real Windows exe (x86_64 build) under wine64 on Xvfb,
played with xdotool, with a scripted winmm.dll logging every MIDI call."""

import os
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(__file__))
from wine import WineApp, WineDesktop  # noqa: E402

BUILD = os.environ.get("VELLORA_WIN64_DIR", "")
GS_RESET = "F0 41 10 42 12 40 00 7F 00 41 F7"
WHITE, GREY, RED = (255, 255, 255), (128, 128, 128), (255, 0, 0)
NO_DEVICE = "ＭＩＤＩ音源がないのでこのソフトは利用できません"
GENERAL = "ＭＩＤＩデバイスが開けません"


def synth(name, opens=(), later=0, caps=0):
    return (name, caps, list(opens), later)


class WindowsProgram(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.desktop = WineDesktop()

    @classmethod
    def tearDownClass(cls):
        cls.desktop.close()

    def start(self, devices, ini=None, **kw):
        app = WineApp(self.desktop, BUILD, devices, ini, **kw)
        self.addCleanup(app.stop)
        return app

    def wait_calls(self, app, since, count, timeout=5):
        end = time.monotonic() + timeout
        while len(app.calls(since)) < count and time.monotonic() < end:
            time.sleep(0.05)
        time.sleep(0.15)
        return app.calls(since)

    def test_without_devices_it_warns_first_then_reports_the_failed_open(self):
        app = self.start([])
        box = app.wait_box()
        self.assertFalse(app.keyboard_visible(), "the warning comes before the window")
        self.assertEqual(app.wait_messages(1), [("Vellora", NO_DEVICE)])
        self.assertFalse(app.has_red(box))
        app.click_ok(box)

        app.wait_keyboard()
        box = app.wait_box()
        self.assertEqual(app.wait_messages(2)[1], ("Vellora", "BADDEVICEID"))
        opens = [(ms, c) for ms, c in app.midi_log() if c.startswith("Open")]
        self.assertEqual([c for _, c in opens], ["Open 0 -> 2 handle=0000000000000000"] * 6)
        self.assertGreaterEqual(opens[-1][0] - opens[0][0], 2400)
        app.click_ok(box)

        # The program goes on: the keys still turn red, their notes go nowhere.
        since = len(app.calls())
        app.down(5, 100)
        self.wait_calls(app, since, 2)
        self.assertEqual(app.pixel(5, 100), RED)
        app.up()
        self.assertEqual(self.wait_calls(app, since, 3),
                         ["ShortMsg null C0 00 -> 5", "ShortMsg null 90 30 64 -> 5",
                          "ShortMsg null 80 30 7F -> 5"])
        self.assertEqual(app.close(), 0)
        self.assertIn("gakki=\r\n", app.settings())

    def test_the_title_comes_from_the_exe_name_and_names_stay_in_the_code_page(self):
        app = self.start([synth("Synth \xe9")], exe_name="KEYS.EXE",
                         ini="[dev]\r\ngakki=Synth \xe9\r\n")
        app.wait_keyboard()
        self.wait_calls(app, 0, 8)
        # The taskbar's window carries the application title, the window its own caption.
        self.assertTrue(self.desktop.top_windows("Keys"))
        self.assertEqual(app.close(), 0)
        self.assertTrue(app.ini.endswith("KEYS.ini"))
        self.assertIn("gakki=Synth \xe9\r\n", app.settings())

    def test_keys_send_their_notes_and_turn_red_while_held(self):
        app = self.start([synth("Synth A")])
        app.wait_keyboard()
        self.wait_calls(app, 0, 8)
        self.assertEqual(app.calls()[-3:], ["PrepareHeader h1 -> 0", f"LongMsg h1 {GS_RESET} -> 0",
                                            "UnprepareHeader h1 -> 0"])
        cases = [  # x, y, note, a point of that key, its rest colour
            (5, 100, "30", (5, 100), WHITE),
            (12, 40, "31", (13, 40), GREY),       # Shape8 over Shape1
            (14, 100, "32", (20, 100), WHITE),    # the later of two white keys
            (126, 100, "3E", (118, 100), WHITE),  # Shape19, created after Shape18
            (290, 100, "53", (290, 100), WHITE),
        ]
        for x, y, note, (px, py), rest in cases:
            with self.subTest(x=x, y=y):
                since = len(app.calls())
                app.down(x, y)
                self.assertEqual(self.wait_calls(app, since, 2),
                                 ["ShortMsg h1 C0 00 -> 0", f"ShortMsg h1 90 {note} 64 -> 0"])
                self.assertEqual(app.pixel(px, py), RED)
                app.up()
                self.assertEqual(self.wait_calls(app, since, 3)[2], f"ShortMsg h1 80 {note} 7F -> 0")
                self.assertEqual(app.pixel(px, py), rest)

        # Dragged off the window with the button held: the same key's Note Off.
        since = len(app.calls())
        app.down(103, 100)
        self.wait_calls(app, since, 2)
        self.desktop.xdotool("mousemove", 900, 700)
        app.up()
        self.assertEqual(self.wait_calls(app, since, 3)[2], "ShortMsg h1 80 3C 7F -> 0")
        self.assertEqual(app.pixel(103, 100), WHITE)

    def test_the_program_bar_takes_the_keys(self):
        app = self.start([synth("Synth A")])
        app.wait_keyboard()
        self.wait_calls(app, 0, 8)

        def program_of_next_note():
            since = len(app.calls())
            app.click(5, 100)
            return self.wait_calls(app, since, 3)[0]

        app.key("End")
        self.assertEqual(program_of_next_note(), "ShortMsg h1 C0 7E -> 0")
        app.key("Home", "Right", "Right", "Next")
        self.assertEqual(program_of_next_note(), "ShortMsg h1 C0 03 -> 0")
        app.click(290, 4)  # the right arrow
        self.assertEqual(program_of_next_note(), "ShortMsg h1 C0 04 -> 0")

    def test_a_busy_device_is_retried_and_each_code_has_its_text(self):
        cases = [(4, "ALLOCATED"), (5, "指定されたデバイス ハンドルが無効です。"),
                 (20, "LASTERROR"), (17, GENERAL), (4294967295, GENERAL)]
        for code, text in cases:
            with self.subTest(code=code):
                app = self.start([synth("Synth A"), synth("Synth B", later=code)],
                                 ini="[dev]\r\ndev_num=1\r\ngakki=Synth B\r\n")
                box = app.wait_box()
                self.assertEqual(app.wait_messages(1), [("Vellora", text)])
                calls = app.calls()
                self.assertEqual(calls.count(f"Open 1 -> {code} handle=null"), 6)
                self.assertEqual(calls.count("Close null -> 5"), 5)
                app.click_ok(box)
                app.wait_keyboard()
                self.assertEqual(self.wait_calls(app, len(calls), 2)[:2],
                                 ["PrepareHeader null -> 5", "LongMsg null  -> 5"])
                app.stop()

    def test_a_switch_closes_reopens_resets_and_sends_the_gs_reset(self):
        app = self.start([synth("Synth A"), synth("Synth B")])
        app.wait_keyboard()
        self.wait_calls(app, 0, 8)
        app.key("alt+v")  # 音源(&V)
        devices = _wait_window(self.desktop, "音源選択")
        since = len(app.calls())
        app.key("Down", window=devices[0])
        app.click(5, 100)  # played at once: it waits for the 200 ms after the GS Reset
        switch = ["ShortMsg h1 B9 78 00 -> 0", "Close h1 -> 0", "Open 1 -> 0 handle=h2",
                  "Reset h2 -> 0", "PrepareHeader h2 -> 0", f"LongMsg h2 {GS_RESET} -> 0",
                  "UnprepareHeader h2 -> 0"]
        self.assertEqual(self.wait_calls(app, since, 10)[:7], switch)
        self.assertEqual(app.calls(since)[7], "ShortMsg h2 C0 00 -> 0")
        times = [ms for ms, _ in app.midi_log()[since:]]
        self.assertGreaterEqual(times[7] - times[5], 190)

        # Back to the device window: a click on its background, off the list.
        self.desktop.xdotool("mousemove", devices[1] + 2, devices[2] + devices[4] - 2, "click", 1)
        since = len(app.calls())
        app.key("BackSpace", window=devices[0])  # the same device again
        again = self.wait_calls(app, since, 7)
        self.assertEqual(again, ["ShortMsg h2 B9 78 00 -> 0", "Close h2 -> 0",
                                 "Open 1 -> 0 handle=h3", "Reset h3 -> 0", "PrepareHeader h3 -> 0",
                                 f"LongMsg h3 {GS_RESET} -> 0", "UnprepareHeader h3 -> 0"])
        since = len(app.calls())
        app.click(5, 100)
        self.assertEqual(self.wait_calls(app, since, 3)[0], "ShortMsg h3 C0 00 -> 0")
        self.assertEqual(app.close(), 0)
        self.assertIn("dev_num=1\r\ngakki=Synth B\r\n", app.settings())

    def test_the_settings_file_is_applied_and_rewritten(self):
        app = self.start([synth("Synth A")])
        app.wait_keyboard()
        self.wait_calls(app, 0, 8)
        self.assertEqual(app.close(), 0)
        self.assertEqual(app.settings(),
                         "[window]\r\nHeight=164\r\nWidth=304\r\nTop=100\r\nLeft=100\r\n\r\n"
                         "[dev]\r\ndev_num=0\r\ngakki=Synth A\r\nmap=4\r\n\r\n")

        edited = ("; my settings\r\n[WINDOW]\r\nLEFT=0x20\r\nTop=$28\r\nheight=abc\r\n"
                  "[ extra ]\r\n  some key = some value \r\n[Dev]\r\nDev_Num=0\r\nGakki=Synth A\r\n"
                  "map=x10\r\n")
        app2 = self.start([synth("Synth A")], ini=edited)
        first = app2.wait_keyboard()
        self.wait_calls(app2, 0, 8)
        self.assertEqual(app2.close(), 0)
        self.assertEqual(app2.settings(),
                         "[WINDOW]\r\nLeft=32\r\nTop=40\r\nHeight=164\r\nWidth=304\r\n\r\n"
                         "[extra]\r\nsome key=some value\r\n\r\n"
                         "[Dev]\r\ndev_num=0\r\ngakki=Synth A\r\nmap=16\r\n\r\n")
        self.assertEqual((first[1] - app.keyboard[1], first[2] - app.keyboard[2]), (32 - 100, 40 - 100))


def _wait_window(desktop, title, timeout=10):
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        wins = desktop.top_windows(title)
        if wins:
            return wins[0]
        time.sleep(0.05)
    raise TimeoutError(title)


if __name__ == "__main__":
    unittest.main(verbosity=2)
