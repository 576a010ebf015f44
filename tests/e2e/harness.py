"""Drives the real Vellora programs the way a person does: an Xvfb display,
xdotool for the mouse and keys, python-xlib to read pixels and to close
windows as a window manager would; for Linux a dummy JACK server with
jack_midi_dump as the MIDI peer that receives what the program sends."""

import os
import re
import shutil
import signal
import subprocess
import tempfile
import time

from Xlib import X, display as xdisplay, protocol


def _wait(predicate, timeout, what):
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        value = predicate()
        if value:
            return value
        time.sleep(0.05)
    raise TimeoutError(f"timed out waiting for {what}")


class Desktop:
    """An X display (and a JACK server) of our own, for one test module."""

    def __init__(self, jack=True):
        self.procs = []
        try:
            self._setup(jack)
        except BaseException:
            self.close()
            raise

    def _setup(self, jack):
        self.env = dict(os.environ)
        self.env["JACK_DEFAULT_SERVER"] = f"vellora-test-{os.getpid()}-{id(self):x}"
        self.env["JACK_NO_AUDIO_RESERVATION"] = "1"
        self.env.pop("QT_QPA_PLATFORM", None)
        self.env["QT_QPA_PLATFORM"] = "xcb"
        self.env["XDG_RUNTIME_DIR"] = tempfile.mkdtemp(prefix="vellora-xdg-")
        os.chmod(self.env["XDG_RUNTIME_DIR"], 0o700)
        # Xvfb picks a free display itself, so parallel suites never share one.
        read_end, write_end = os.pipe()
        self._start(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1024x768x24",
                     "-nolisten", "tcp"], pass_fds=(write_end,))
        os.close(write_end)
        with os.fdopen(read_end) as f:
            number = f.readline().strip()
        if not number:
            raise RuntimeError("Xvfb did not start")
        self.display = f":{number}"
        self.env["DISPLAY"] = self.display
        self.x = xdisplay.Display(self.display)
        if not jack:
            return
        self._clear_stale_jack()
        self._start(["jackd", "--no-realtime", "-d", "dummy", "-r", "44100", "-p", "256"])
        _wait(lambda: subprocess.run(["jack_lsp"], env=self.env, capture_output=True).returncode == 0,
              15, "jackd")

    @staticmethod
    def _clear_stale_jack():
        """JACK keeps a registry of servers in /dev/shm with room for eight; servers
        that were killed leave their entries behind. With no JACK server running,
        none of it is anyone's, and a full registry would stop ours from starting."""
        running = subprocess.run(["pgrep", "-x", "jackd|jackdmp"], capture_output=True)
        if running.returncode == 0:
            return
        for name in os.listdir("/dev/shm"):
            if name.startswith(("jack-", "jack_sem.", "jack_db-")):
                path = os.path.join("/dev/shm", name)
                shutil.rmtree(path, ignore_errors=True) if os.path.isdir(path) else os.unlink(path)

    def _start(self, argv, **kw):
        p = subprocess.Popen(argv, env=self.env, stdout=subprocess.DEVNULL,
                             stderr=subprocess.DEVNULL, **kw)
        self.procs.append(p)
        return p

    def close(self):
        if getattr(self, "x", None) is not None:
            self.x.close()
            self.x = None
        for p in reversed(self.procs):
            if p.poll() is None:
                p.terminate()
                try:
                    p.wait(5)
                except subprocess.TimeoutExpired:
                    p.kill()
        if "XDG_RUNTIME_DIR" in self.env:
            shutil.rmtree(self.env["XDG_RUNTIME_DIR"], ignore_errors=True)

    def xdotool(self, *args):
        subprocess.run(["xdotool", *map(str, args)], env=self.env, check=True)

    def pixel(self, x, y):
        img = self.x.screen().root.get_image(x, y, 1, 1, X.ZPixmap, 0xFFFFFFFF)
        b, g, r = img.data[0], img.data[1], img.data[2]
        return (r, g, b)

    def screenshot(self, path):
        subprocess.run(["import", "-window", "root", path], env=self.env, check=True)

    def top_windows(self, name=None):
        """Mapped top-level windows with this title, as (window, x, y, w, h)."""
        found = []
        root = self.x.screen().root
        for w in root.query_tree().children:
            try:
                attrs = w.get_attributes()
                if attrs.map_state != X.IsViewable:
                    continue
                title = w.get_full_property(self.x.intern_atom("_NET_WM_NAME"),
                                            self.x.intern_atom("UTF8_STRING"))
                text = title.value.decode() if title else (w.get_wm_name() or "")
                if name is not None and text != name:
                    continue
                g = w.get_geometry()
                pos = w.translate_coords(root, 0, 0)
                found.append((w, -pos.x, -pos.y, g.width, g.height))
            except Exception:
                continue
        return found

    def send_close(self, window):
        """What a window manager sends when the close box is clicked."""
        wm_protocols = self.x.intern_atom("WM_PROTOCOLS")
        delete = self.x.intern_atom("WM_DELETE_WINDOW")
        ev = protocol.event.ClientMessage(window=window, client_type=wm_protocols,
                                          data=(32, [delete, X.CurrentTime, 0, 0, 0]))
        window.send_event(ev, event_mask=X.NoEventMask)
        self.x.flush()


def find_client_top(desktop, left, top, height):
    """The screen y of a keyboard window's client area: C4 is outlined at
    client y = 32 and y = 116 and white between."""
    x = left + 103
    black, white = (0, 0, 0), (255, 255, 255)

    def found():
        px = desktop.pixel
        for y in range(top, top + height - 85):
            if (px(x, y) == black and px(x, y + 1) == white and px(x, y + 83) == white
                    and px(x, y + 84) == black):
                return y - 32
        return None
    return _wait(found, 5, "the keys to be painted")


class MidiPeer:
    """jack_midi_dump: every MIDI message that reaches its input port."""

    LINE = re.compile(r"^\s*\d+:\s+((?:[0-9a-f]{2}\s?)+)")

    def __init__(self, desktop):
        self.desktop = desktop
        self.out = tempfile.NamedTemporaryFile(prefix="vellora-dump-", delete=False)
        before = self._ports()
        self.proc = subprocess.Popen(["stdbuf", "-oL", "jack_midi_dump"], env=desktop.env,
                                     stdout=self.out, stderr=subprocess.DEVNULL)
        self.port = _wait(lambda: next(iter(self._ports() - before), None), 10, "jack_midi_dump")

    def _ports(self):
        r = subprocess.run(["jack_lsp"], env=self.desktop.env, capture_output=True, text=True)
        return {l.strip() for l in r.stdout.splitlines() if l.strip().endswith(":input")
                and not l.startswith("system:")}

    def messages(self):
        with open(self.out.name) as f:
            return [m.group(1).split() for m in map(self.LINE.match, f) if m]

    def hex(self):
        return [" ".join(b.upper() for b in m) for m in self.messages()]

    def close(self):
        self.proc.terminate()
        self.proc.wait(5)
        self.out.close()
        os.unlink(self.out.name)


class App:
    """The real program, started from a folder of its own."""

    def __init__(self, desktop, binary, ini=None):
        self.desktop = desktop
        self.dir = tempfile.mkdtemp(prefix="vellora-e2e-")
        self.exe = os.path.join(self.dir, "Vellora")
        self.ini = os.path.join(self.dir, "Vellora.ini")
        shutil.copy(binary, self.exe)
        if ini is not None:
            with open(self.ini, "wb") as f:
                f.write(ini.encode())
        self.log = open(os.path.join(self.dir, "stderr.txt"), "w")
        self.proc = subprocess.Popen([self.exe], cwd=self.dir, env=desktop.env,
                                     stdout=self.log, stderr=self.log)
        self.window = self._find("Vellora")
        self.visible_at = time.monotonic()
        self.left, self.top = self.window[1], self.window[2]
        self.client_top = self._client_top()

    def _find(self, title, timeout=15):
        def visible():
            if self.proc.poll() is not None:
                raise RuntimeError(f"Vellora exited with {self.proc.returncode}")
            wins = [w for w in self.desktop.top_windows(title) if w[3] > 50]
            return wins[0] if wins else None
        return _wait(visible, timeout, f"window {title}")

    def _client_top(self):
        return find_client_top(self.desktop, self.left, self.top, self.window[4])

    # Client coordinates of the keyboard window.
    def at(self, x, y):
        return self.left + x, self.client_top + y

    def move(self, x, y):
        self.desktop.xdotool("mousemove", *self.at(x, y))

    def click(self, x, y, button=1):
        self.desktop.xdotool("mousemove", *self.at(x, y), "click", button)

    def down(self, x, y, button=1):
        self.desktop.xdotool("mousemove", *self.at(x, y), "mousedown", button)

    def up(self, button=1):
        self.desktop.xdotool("mouseup", button)

    def key(self, *names, window=None):
        """Types into the keyboard window, or the given one: it gets the X focus
        first, as nothing else hands it out without a window manager."""
        target = window if window is not None else self.window[0]
        self.desktop.xdotool("windowfocus", target.id)
        time.sleep(0.3)
        self.desktop.xdotool("key", "--delay", "30", *names)

    def pixel(self, x, y):
        return self.desktop.pixel(*self.at(x, y))

    def device_window(self):
        window = self._find("音源選択")
        time.sleep(0.5)  # shown: let it become active and focus its list
        return window

    def close(self, timeout=10):
        self.desktop.send_close(self.window[0])
        return self.proc.wait(timeout)

    def settings(self):
        with open(self.ini, "rb") as f:
            return f.read().decode()

    def stop(self):
        if self.proc.poll() is None:
            self.proc.send_signal(signal.SIGKILL)
            self.proc.wait()
        self.log.close()
        shutil.rmtree(self.dir, ignore_errors=True)
