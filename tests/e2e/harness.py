"""Running the game for real: an Xvfb screen of its own, a Wine prefix with the 800 x 600
virtual desktop, the game's process in a run folder, screenshots, keys, message boxes, and
waiting on a condition with a time limit.

The end-to-end tests (through conftest.py) and scripts/screenshot and scripts/play-windows all
use these; none of them starts Xvfb or prepares a prefix any other way.
"""

import os
import re
import select
import shutil
import subprocess
import time
from contextlib import contextmanager

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
NATIVE_BIN = os.path.join(ROOT, "build", "linux", "bin")
WINDOWS_BIN = os.path.join(ROOT, "build", "windows", "bin")
WIDTH, HEIGHT = 800, 600

# How long a program may take to answer one command before the test gives up on it.
COMMAND_TIMEOUT = 20


def poll(condition, timeout, interval=0.1):
    """The condition's first true value within the time limit, else None."""
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() >= deadline:
            return None
        time.sleep(interval)


def near(pixel, colour, tolerance):
    """Every channel within the tolerance of the colour's."""
    return all(abs(a - b) <= tolerance for a, b in zip(pixel, colour))


class Shot:
    """A screenshot: width x height pixels of 8-bit red, green and blue, row by row."""

    def __init__(self, ppm):
        # The header ends in exactly one whitespace byte; the pixels may start with more.
        header = re.match(rb"P6\s+(\d+)\s+(\d+)\s+255\s", ppm)
        if not header:
            raise ValueError("the screenshot is not an 8-bit PPM")
        self.ppm = ppm
        self.width, self.height = int(header[1]), int(header[2])
        self.pixels = ppm[header.end() :]

    def at(self, x, y):
        i = (y * self.width + x) * 3
        return tuple(self.pixels[i : i + 3])

    def count(self, colour, left, top, right, bottom, tolerance):
        """Pixels near the colour in [left, right) x [top, bottom)."""
        return sum(
            near(self.at(x, y), colour, tolerance)
            for y in range(top, bottom)
            for x in range(left, right)
        )

    def find(self, colour, left, top, right, bottom, tolerance):
        """The first pixel near the colour in [left, right) x [top, bottom), row by row, as
        (x, y); else None. Quick enough to look at every screenshot a test takes."""
        ranges = b"".join(b"[%s-%s]" % (re.escape(bytes([max(c - tolerance, 0)])),
                                         re.escape(bytes([min(c + tolerance, 255)])))
                          for c in colour)
        pattern = re.compile(b"(?=" + ranges + b")", re.DOTALL)
        for y in range(top, bottom):
            start = (y * self.width + left) * 3
            row = self.pixels[start : start + (right - left) * 3]
            for match in pattern.finditer(row):
                if match.start() % 3 == 0:
                    return left + match.start() // 3, y
        return None

    def save(self, path):
        os.makedirs(os.path.dirname(path), exist_ok=True)
        subprocess.run(["convert", "ppm:-", path], input=self.ppm, check=True,
                       timeout=COMMAND_TIMEOUT)


def read_image(path):
    """Any image file ImageMagick reads, as a Shot."""
    ppm = subprocess.run(["convert", path, "-depth", "8", "ppm:-"], check=True,
                         stdout=subprocess.PIPE, timeout=COMMAND_TIMEOUT).stdout
    return Shot(ppm)


def _read_line(fd, timeout):
    """What Xvfb writes to its -displayfd pipe up to the line's end, or b"" at the timeout."""
    data = b""
    deadline = time.monotonic() + timeout
    while not data.endswith(b"\n"):
        left = deadline - time.monotonic()
        if left <= 0 or not select.select([fd], [], [], left)[0]:
            return b""
        chunk = os.read(fd, 16)
        if not chunk:
            return data
        data += chunk
    return data


class Display:
    """An Xvfb screen of its own, 800 x 600 x 24, on a free number Xvfb picks and reports."""

    def __init__(self, timeout=20):
        read, write = os.pipe()
        # -noreset: by default the server starts over whenever its last client leaves, and
        # refuses connections meanwhile; a game started right after another would find no
        # display. -r: no auto-repeat, so a key held is one press, and a key held for the game
        # cannot repeat into a message box that opens meanwhile.
        self.process = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write), "-screen", "0", f"{WIDTH}x{HEIGHT}x24",
             "-nolisten", "tcp", "-noreset", "-r"],
            pass_fds=(write,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write)
        try:
            number = _read_line(read, timeout).strip()
        finally:
            os.close(read)
        if not number:
            self.stop()
            raise RuntimeError(f"Xvfb gave no display number within {timeout} s")
        self.name = ":" + number.decode()
        # The screenshot a failing test leaves behind.
        self.last_shot = None

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.stop()

    def env(self, base=None):
        """An environment whose programs draw on this screen and nowhere else."""
        env = dict(os.environ if base is None else base, DISPLAY=self.name)
        env.pop("WAYLAND_DISPLAY", None)
        env.pop("SDL_VIDEODRIVER", None)
        return env

    def shot(self):
        """The whole screen now; also kept as last_shot."""
        ppm = subprocess.run(["import", "-display", self.name, "-window", "root", "-depth", "8",
                              "ppm:-"], stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                             check=True, timeout=COMMAND_TIMEOUT).stdout
        self.last_shot = Shot(ppm)
        return self.last_shot

    def xdotool(self, *args):
        """xdotool's output on this screen, split into words (window ids, for a search)."""
        return subprocess.run(["xdotool", *args], env=self.env(), stdout=subprocess.PIPE,
                              stderr=subprocess.DEVNULL, text=True,
                              timeout=COMMAND_TIMEOUT).stdout.split()

    def window_size(self, name):
        """(width, height) of the first window whose title matches, else None."""
        for window in self.windows(name)[:1]:
            words = self.xdotool("getwindowgeometry", window)
            if "Geometry:" in words:
                width, height = words[words.index("Geometry:") + 1].split("x")
                return int(width), int(height)
        return None

    def windows(self, name):
        """The windows whose title matches the regular expression, ignoring case."""
        return self.xdotool("search", "--name", name)

    def stop(self):
        if self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(10)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()


# Every caption a box of the game's can have: "Error!", "ERROR", "Error", and the one the title's
# failed unlock shows.
BOX_CAPTIONS = "^(error!?|rgfdgsdg)$"


class Keyboard:
    """Keys for the window whose title matches focus: it is given the focus before each press.
    A release goes wherever its press went: moving the focus while a key is down would show
    the key to whatever window is active just then (a message box, say) as a new press."""

    def __init__(self, display, focus):
        self.display = display
        self.focus = focus

    def _focus(self):
        for window in self.display.windows(self.focus)[:1]:
            self.display.xdotool("windowfocus", "--sync", window)

    def down(self, key):
        self._focus()
        self.display.xdotool("keydown", key)

    def up(self, key):
        self.display.xdotool("keyup", key)

    def tap(self, key):
        """A press long enough for a frame to see it."""
        self._focus()
        self.display.xdotool("key", "--delay", "120", key)

    @contextmanager
    def held(self, key):
        self.down(key)
        try:
            yield
        finally:
            self.up(key)

    def press_until(self, key, condition, timeout=10):
        """Holds the key until the condition holds: a tap can fall between two of the game's
        looks at the keyboard when the machine is busy. The condition's value, or None."""
        with self.held(key):
            return poll(condition, timeout, interval=0.05)


class Game:
    """One run of the game: its process in a run folder that receives Log.txt, its standard
    error kept in a file beside the folder."""

    def __init__(self, argv, folder, env, display, focus):
        self.folder = folder
        self.display = display
        self.keys = Keyboard(display, focus)
        self.stderr = open(folder + ".stderr", "w+b")
        self.process = subprocess.Popen(argv, cwd=folder, env=env, stdout=subprocess.DEVNULL,
                                        stderr=self.stderr)

    def wait(self, timeout):
        """The exit code, or None if the game is still running at the timeout."""
        try:
            return self.process.wait(timeout)
        except subprocess.TimeoutExpired:
            return None

    def watch(self, condition, timeout):
        """The condition's first true value while the game runs; None at the timeout, or at
        once when the game has ended."""
        ended = []

        def check():
            if self.process.poll() is not None:
                ended.append(True)
                return True
            return condition()

        value = poll(check, timeout)
        return None if ended else value

    def log(self):
        """Log.txt's bytes, or what kept them from being read."""
        try:
            with open(os.path.join(self.folder, "Log.txt"), "rb") as f:
                return f.read()
        except OSError as error:
            return f"<{error}>".encode()

    def errors(self):
        self.stderr.seek(0)
        return self.stderr.read().decode(errors="replace")

    def boxes(self):
        """The game's message boxes on the screen now."""
        return self.display.windows(BOX_CAPTIONS)

    def end(self):
        """Kills the game if it is still running; the test's verdict was reached before."""
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()
        self.stderr.close()


def run_folder(folder, title):
    """Makes the run folder; title is a file to copy in as FinalTitle.bmp, its bytes, or None."""
    os.makedirs(folder)
    target = os.path.join(folder, "FinalTitle.bmp")
    if isinstance(title, bytes):
        with open(target, "wb") as f:
            f.write(title)
    elif title is not None:
        shutil.copy(title, target)
    return folder


def start_native(display, folder, env):
    """The native game in the environment given; its window is found by its caption."""
    return Game([os.path.join(NATIVE_BIN, "vantorel")], folder, env, display, focus="^Vantorel$")


# Wine as the tests and play-windows run it: quiet, and without the .NET and HTML installers.
WINE_SETTINGS = {"WINEDEBUG": "-all", "WINEDLLOVERRIDES": "mscoree,mshtml="}
WINE_DESKTOP = "Wine desktop"


def wine_env(prefix, base):
    return dict(base, WINEPREFIX=prefix, **WINE_SETTINGS)


def wine(env, *args, timeout=180):
    subprocess.run(args, env=env, check=True, timeout=timeout, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL)


def wine_prefix_ready(prefix):
    try:
        with open(os.path.join(prefix, "user.reg"), encoding="utf-8", errors="replace") as f:
            return '"Default"="800x600"' in f.read()
    except OSError:
        return False


def prepare_wine_prefix(env, crash_dialog=True):
    """A new prefix whose programs run in an 800 x 600 virtual desktop, like a small screen.
    Without the crash dialog, a program that crashes ends at once instead of waiting for
    someone to close the dialog."""
    wine(env, "wineboot", "-i")
    wine(env, "wine", "reg", "add", r"HKCU\Software\Wine\Explorer", "/v", "Desktop", "/d",
         "Default", "/f")
    wine(env, "wine", "reg", "add", r"HKCU\Software\Wine\Explorer\Desktops", "/v", "Default",
         "/d", "800x600", "/f")
    if not crash_dialog:
        wine(env, "wine", "reg", "add", r"HKCU\Software\Wine\WineDbg", "/v", "ShowCrashDialog",
             "/t", "REG_DWORD", "/d", "0", "/f")
    wine(env, "wineserver", "-w")


def end_wine(env):
    """Ends every Wine process of the prefix and waits until they are gone."""
    subprocess.run(["wineserver", "-k"], env=env, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL, timeout=COMMAND_TIMEOUT)
    subprocess.run(["wineserver", "-w"], env=env, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL, timeout=60)


def start_wine(display, env, folder, exe):
    """A Windows program of ours, copied into the run folder and started there under Wine."""
    shutil.copy(exe, folder)
    return Game(["wine", os.path.basename(exe)], folder, env, display, focus=WINE_DESKTOP)
