"""The game run for real, for the tests and the scripts: Xvfb, the game's process and its keys,
and a Wine prefix with an 800 x 600 virtual desktop."""

import contextlib
import os
import select
import shutil
import subprocess
import time

from scene import ROOT, Shot

NATIVE_BIN = os.path.join(ROOT, "build", "linux", "bin")
WINDOWS_BIN = os.path.join(ROOT, "build", "windows", "bin")

# How long a program may take to answer one command before the test gives up on it.
COMMAND_TIMEOUT = 20


def poll(condition, timeout, interval=0.1):
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() >= deadline:
            return None
        time.sleep(interval)


class Display:
    """An Xvfb screen of its own, 800 x 600 x 24 unless told, on a free number Xvfb picks and
    reports."""

    def __init__(self, size="800x600"):
        read, write = os.pipe()
        # -noreset: else the server starts over, refusing connections, whenever its last
        # client leaves. -r: no auto-repeat, so a key held is one press, which cannot repeat
        # into a message box that opens meanwhile.
        self.process = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write), "-screen", "0", size + "x24", "-nolisten", "tcp",
             "-noreset", "-r"],
            pass_fds=(write,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write)
        # The number, then a line feed; Xvfb fails if the pipe is closed before it is written.
        received = b""
        while not received.endswith(b"\n") and select.select([read], [], [], COMMAND_TIMEOUT)[0]:
            received += os.read(read, 16) or b"\n"
        os.close(read)
        if not received.strip().isdigit():
            self.close()
            raise RuntimeError("Xvfb gave no display number")
        self.name = ":" + received.strip().decode()
        self.last_shot = None  # what a failing test leaves behind

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()

    def env(self):
        env = dict(os.environ, DISPLAY=self.name)
        env.pop("WAYLAND_DISPLAY", None)
        env.pop("SDL_VIDEODRIVER", None)
        return env

    def shot(self):
        ppm = subprocess.run(["import", "-display", self.name, "-window", "root", "-depth", "8",
                              "ppm:-"], stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                             check=True, timeout=COMMAND_TIMEOUT).stdout
        self.last_shot = Shot(ppm)
        return self.last_shot

    def xdotool(self, *args):
        return subprocess.run(["xdotool", *args], env=self.env(), stdout=subprocess.PIPE,
                              stderr=subprocess.DEVNULL, text=True,
                              timeout=COMMAND_TIMEOUT).stdout.split()

    def windows(self, name):
        return self.xdotool("search", "--name", name)

    def close(self):
        self.process.terminate()
        self.process.wait(10)


# Every caption a box of the game's can have: "Error!", "ERROR", "Error", and the one the title's
# failed unlock shows.
BOX_CAPTIONS = "^(error!?|rgfdgsdg)$"


class Game:
    """One run of the game in a run folder, its standard error in a file beside it; the window
    whose title matches focus is given the focus before each press."""

    def __init__(self, argv, folder, env, display, focus):
        self.folder = folder
        self.display = display
        self.focus = focus
        with open(folder + ".stderr", "wb") as stderr:
            self.process = subprocess.Popen(argv, cwd=folder, env=env, stdout=subprocess.DEVNULL,
                                            stderr=stderr)

    def ended(self):
        return self.process.poll() is not None

    def log(self):
        with open(os.path.join(self.folder, "Log.txt"), "rb") as f:
            return f.read()

    def errors(self):
        with open(self.folder + ".stderr", errors="replace") as f:
            return f.read()

    def boxes(self):
        return self.display.windows(BOX_CAPTIONS)

    def shows(self, check, timeout=30):
        """Screenshots until check(shot) passes: "" then, else what was wrong the last time.
        Gives up at once when the game ends or shows a box, which no check expects."""
        problem = "the screen was never looked at"

        def settled():
            nonlocal problem
            if self.ended():
                problem = f"the game ended with exit code {self.process.poll()}"
            elif self.boxes():
                problem = "a box is open"
            else:
                problem = check(self.display.shot())
                return not problem
            return True

        poll(settled, timeout, interval=0.2)
        return problem

    def _focus(self):
        for window in self.display.windows(self.focus)[:1]:
            self.display.xdotool("windowfocus", "--sync", window)

    def tap(self, key):
        self._focus()
        self.display.xdotool("key", "--delay", "120", key)

    @contextlib.contextmanager
    def held(self, key):
        """The key down for a with block. The focus stays put: moved while a key is down, it
        would show the key to another window (a message box, say) as a new press."""
        self._focus()
        self.display.xdotool("keydown", key)
        try:
            yield
        finally:
            self.display.xdotool("keyup", key)

    def press_until(self, key, condition, timeout=10):
        """A tap can fall between two of the game's looks at the keyboard on a busy machine."""
        with self.held(key):
            return poll(condition, timeout, interval=0.05)

    def end(self):
        self.process.kill()
        self.process.wait()


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
    return Game([os.path.join(NATIVE_BIN, "vantorel")], folder, env, display, focus="^Vantorel$")


def wine_env(prefix, base):
    """Quiet, and without the .NET and HTML installers."""
    return dict(base, WINEPREFIX=prefix, WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=")


def wine(env, *args, timeout=180):
    subprocess.run(args, env=env, check=True, timeout=timeout, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL)


def prepare_wine_prefix(env, crash_dialog=True):
    """Without the crash dialog, a program that crashes ends at once instead of waiting."""
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
    subprocess.run(["wineserver", "-k"], env=env, timeout=COMMAND_TIMEOUT)
    wine(env, "wineserver", "-w", timeout=60)
