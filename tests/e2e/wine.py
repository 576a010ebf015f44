"""The Windows program under wine64 on Xvfb. Its winmm calls are made
observable by a scripted winmm.dll placed beside the exe, which Wine loads in
place of its own; message boxes are read from Wine's window-text trace."""

import os
import re
import shutil
import subprocess
import tempfile
import time

from harness import Desktop, _wait, find_client_top

WINE = "/usr/lib/wine/wine64"
WINESERVER = "/usr/lib/wine/wineserver64"


class WineDesktop(Desktop):
    """An X display and a Wine prefix of our own."""

    def __init__(self):
        super().__init__(jack=False)
        self.prefix = tempfile.mkdtemp(prefix="vellora-wine-")
        self.env["WINEPREFIX"] = self.prefix
        self.env["WINEDEBUG"] = "-all"
        self.env["WINEDLLOVERRIDES"] = "mscoree,mshtml="
        subprocess.run([WINE, "wineboot", "-i"], env=self.env, check=True, timeout=300,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        # Wine's dialog font has no Japanese glyphs; a Japanese font stands in,
        # as font linking does on a real system.
        for face in ("Tahoma", "MS Shell Dlg", "MS Shell Dlg 2"):
            subprocess.run([WINE, "reg", "add", r"HKCU\Software\Wine\Fonts\Replacements",
                            "/v", face, "/d", "IPAPGothic", "/f"], env=self.env, check=True,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        subprocess.run([WINESERVER, "-w"], env=self.env, timeout=60)

    def close(self):
        subprocess.run([WINESERVER, "-k"], env=self.env, stderr=subprocess.DEVNULL)
        super().close()
        shutil.rmtree(self.prefix, ignore_errors=True)


def decode_wine_string(text):
    """Undoes Wine's debug string escapes: \\xxxx for UTF-16 units, \\n and the like."""
    out, i = [], 0
    while i < len(text):
        c = text[i]
        if c == "\\" and i + 1 < len(text):
            n = text[i + 1]
            if n in "\\\"":
                out.append(n)
                i += 2
            elif n in "nrt":
                out.append({"n": "\n", "r": "\r", "t": "\t"}[n])
                i += 2
            elif re.match(r"[0-9a-fA-F]{4}", text[i + 1:i + 5]):
                out.append(chr(int(text[i + 1:i + 5], 16)))
                i += 5
            elif n == "x" and re.match(r"[0-9a-fA-F]{2}", text[i + 2:i + 4]):
                out.append(chr(int(text[i + 2:i + 4], 16)))
                i += 4
            else:
                out.append(n)
                i += 2
        else:
            out.append(c)
            i += 1
    return "".join(out)


class WineApp:
    """Vellora.exe in a folder of its own with the scripted winmm.dll.

    devices: (name, caps result, [open results], later opens) per device."""

    def __init__(self, desktop, build_dir, devices, ini=None, exe_name="Vellora.exe"):
        self.desktop = desktop
        self.dir = tempfile.mkdtemp(prefix="vellora-wine-app-")
        self.exe = os.path.join(self.dir, exe_name)
        self.ini = os.path.splitext(self.exe)[0] + ".ini"
        shutil.copy(os.path.join(build_dir, "Vellora.exe"), self.exe)
        shutil.copy(os.path.join(build_dir, "winmm.dll"), self.dir)
        with open(os.path.join(self.dir, "fakewinmm.txt"), "wb") as f:
            for name, caps, opens, later in devices:
                results = ",".join(map(str, opens)) or "-"
                f.write(f"device {caps} {results} {later} ".encode() + name.encode("latin-1") + b"\n")
        if ini is not None:
            with open(self.ini, "wb") as f:
                f.write(ini.encode("latin-1"))
        env = dict(desktop.env)
        env["WINEDLLOVERRIDES"] = "winmm=n,b;mscoree,mshtml="
        env["WINEDEBUG"] = "-all,trace+win"
        self.trace_path = os.path.join(self.dir, "trace.txt")
        self.trace = open(self.trace_path, "w")
        self.proc = subprocess.Popen([WINE, self.exe], cwd=self.dir, env=env,
                                     stdout=self.trace, stderr=self.trace)
        self.keyboard = None

    # What the program showed.
    def messages(self):
        """Every message box so far, as (title, text), from Wine's trace."""
        found = []
        with open(self.trace_path, errors="replace") as f:
            lines = f.read().splitlines()
        texts = None
        for line in lines:
            # A box's texts follow its creation, up to the next top-level window.
            if "WIN_CreateWindowEx" in line and ("#8002" in line or
                                                 "parent=0000000000000000" in line):
                if texts:
                    found.append(texts)
                texts = [] if "#8002" in line else None
            elif texts is not None and "set_window_text" in line:
                m = re.search(r'set_window_text (?:L"(.*)"|\(null\))$', line)
                if m:
                    texts.append(None if m.group(1) is None else decode_wine_string(m.group(1)))
        if texts:
            found.append(texts)
        boxes = []
        for texts in found:
            # The buttons' captions end with "Help"; then come the static text's
            # initial "", the title and the message.
            if "Help" not in texts:
                continue
            rest = [t for t in texts[len(texts) - texts[::-1].index("Help"):] if t is not None]
            if len(rest) >= 3:
                boxes.append((rest[1], rest[2]))
        return boxes

    def wait_messages(self, count, timeout=15):
        return _wait(lambda: self.messages() if len(self.messages()) >= count else None,
                     timeout, f"{count} message boxes")

    def midi_log(self):
        """The winmm calls, as (milliseconds, call) pairs."""
        path = os.path.join(self.dir, "fakewinmm.log")
        if not os.path.exists(path):
            return []
        with open(path, encoding="latin-1") as f:
            out = []
            for line in f.read().splitlines():
                ms, _, call = line.partition(" ")
                out.append((int(ms), call))
            return out

    def calls(self, since=0):
        """The calls from position `since` on, with handles shown as h1, h2..."""
        names, out = {}, []
        for _, call in self.midi_log():
            for h in re.findall(r"[0-9A-F]{16}", call):
                if int(h, 16) == 0:
                    names[h] = "null"
                names.setdefault(h, f"h{len(names) + 1}")
            out.append(re.sub(r"[0-9A-F]{16}", lambda m: names[m.group(0)], call))
        return out[since:]

    def boxes(self, title="Vellora"):
        """Message boxes on screen: short windows with the application title (the
        keyboard window is taller, the taskbar helper window tiny)."""
        return [w for w in self.desktop.top_windows(title) if w[3] > 60 and 30 < w[4] < 120]

    def wait_box(self, timeout=15):
        return _wait(lambda: (self.boxes() or [None])[0], timeout, "a message box")

    def click_ok(self, box):
        """Wine's boxes ignore a synthetic Return without a window manager: click OK."""
        _, x, y, w, h = box
        self.desktop.xdotool("mousemove", x + w // 2, y + h - 21, "click", 1)
        _wait(lambda: all(b[0].id != box[0].id for b in self.desktop.top_windows()), 5,
              "the box to close")

    def has_red(self, box):
        _, x, y, w, h = box
        img = self.desktop.x.screen().root.get_image(x, y, w, h, 2, 0xFFFFFFFF).data
        return any(img[i + 2] > 180 and img[i + 1] < 80 and img[i] < 80
                   for i in range(0, len(img), 4))

    def wait_keyboard(self, timeout=20):
        def find():
            if self.proc.poll() is not None:
                raise RuntimeError(f"the program exited with {self.proc.returncode}")
            for w in self.desktop.top_windows("Vellora"):
                if w[3] > 200 and w[4] > 120:
                    return w
            return None
        self.keyboard = _wait(find, timeout, "the keyboard window")
        self.left, self.top = self.keyboard[1], self.keyboard[2]
        self.client_top = find_client_top(self.desktop, self.left, self.top, self.keyboard[4])
        return self.keyboard

    def keyboard_visible(self):
        return any(w[3] > 200 and w[4] > 120 for w in self.desktop.top_windows("Vellora"))

    # What a person does.
    def at(self, x, y):
        return self.left + x, self.client_top + y

    def down(self, x, y, button=1):
        self.desktop.xdotool("mousemove", *self.at(x, y), "mousedown", button)

    def up(self, button=1):
        self.desktop.xdotool("mouseup", button)

    def click(self, x, y, button=1):
        self.desktop.xdotool("mousemove", *self.at(x, y), "click", button)

    def pixel(self, x, y):
        return self.desktop.pixel(*self.at(x, y))

    def key(self, *names, window=None):
        # Without a window manager nothing gives a window the keyboard focus
        # but this; Wine then activates the window as a click would.
        target = window if window is not None else self.keyboard[0]
        self.desktop.xdotool("windowfocus", target.id)
        time.sleep(0.3)
        self.desktop.xdotool("key", "--delay", "40", *names)

    def close(self, timeout=15):
        self.desktop.send_close(self.keyboard[0])
        return self.proc.wait(timeout)

    def settings(self):
        with open(self.ini, "rb") as f:
            return f.read().decode("latin-1")

    def stop(self):
        if self.proc.poll() is None:
            self.proc.kill()
            self.proc.wait()
        self.trace.close()
        shutil.rmtree(self.dir, ignore_errors=True)
