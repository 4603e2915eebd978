"""The Debian package: its files, Debian's checkers, and the game installed in a throwaway root
and started from the launcher."""

import os
import pathlib
import subprocess

import pytest

import harness
import scene

PROGRAMS = ["usr/games/vantorel", "usr/lib/games/vantorel/vantorel"]
DATA = ["usr/share/games/vantorel/FinalTitle.bmp", "usr/share/applications/vantorel.desktop",
        "usr/share/metainfo/vantorel.metainfo.xml", "usr/share/man/man6/vantorel.6.gz",
        "usr/share/doc/vantorel/copyright", "usr/share/doc/vantorel/changelog.gz"]
DATA += [f"usr/share/icons/hicolor/{n}x{n}/apps/vantorel.png" for n in (32, 48, 64, 128, 256)]
DPKG_STATUS = pathlib.Path("/var/lib/dpkg/status")

# dpkg, its triggers and the game write only to an overlay of the machine's own root, in a
# mount namespace that ends with the game: the machine is left as it was. The player's home is
# the test's own folder. The launcher is started from /, as a desktop menu would.
THROWAWAY_ROOT = """set -e
mount -t overlay overlay -o "lowerdir=/,upperdir=$1/upper,workdir=$1/work" "$1/root"
for fs in proc sys dev; do mount --rbind "/$fs" "$1/root/$fs"; done
mount --bind "$HOME" "$1/root$HOME"
cp "$2" "$1/root/tmp/vantorel.deb"
chroot "$1/root" dpkg -i /tmp/vantorel.deb >&2
exec chroot "$1/root" sh -c 'cd / && exec /usr/games/vantorel'
"""


@pytest.fixture(scope="module")
def deb(release):
    return release("vantorel_{v}_amd64.deb")


def run(*argv):
    return subprocess.run(argv, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)


def test_deb_holds_its_files_with_standard_modes(deb):
    listing = [line.split() for line in run("dpkg-deb", "-c", deb).stdout.splitlines()]
    files = {entry[5].removeprefix("./"): entry[0] for entry in listing if entry[0][0] != "d"}
    assert files == {**dict.fromkeys(PROGRAMS, "-rwxr-xr-x"), **dict.fromkeys(DATA, "-rw-r--r--")}
    assert {entry[0] for entry in listing if entry[0][0] == "d"} == {"drwxr-xr-x"}
    assert {entry[1] for entry in listing} == {"root/root"}
    assert "libsdl2-2.0-0" in run("dpkg-deb", "-f", deb, "Depends").stdout


def test_debian_checkers_pass(deb, tmp_path):
    lintian = run("lintian", "--fail-on", "error,warning", deb)
    assert lintian.returncode == 0, lintian.stdout
    run("dpkg-deb", "-x", deb, tmp_path)
    appstream = run("appstreamcli", "validate", "--no-net",
                    tmp_path / "usr/share/metainfo/vantorel.metainfo.xml")
    assert appstream.returncode == 0, appstream.stdout
    desktop = run("desktop-file-validate", tmp_path / "usr/share/applications/vantorel.desktop")
    assert desktop.stdout == ""


def test_installed_game_plays_from_the_launcher(deb, screen, tmp_path):
    assert os.getuid() == 0, "the throwaway root's mounts need root, as make test has"
    for folder in ("upper", "work", "root", "home"):
        (tmp_path / folder).mkdir()
    before = DPKG_STATUS.read_bytes()
    env = dict(screen.env(), HOME=str(tmp_path / "home"), PATH="/usr/sbin:/usr/bin:/sbin:/bin")
    env.pop("XDG_STATE_HOME", None)
    argv = ["unshare", "--mount", "sh", "-c", THROWAWAY_ROOT, "throwaway", tmp_path, deb]
    game = harness.Game(argv, str(tmp_path / "home"), env, screen, focus="^Vantorel$")
    try:
        assert game.shows(lambda shot: scene.field(shot) or scene.title_drawn(shot), 120) == ""
        game.press_until("Escape", game.ended)
        assert game.process.wait(30) == 0, game.errors()
    finally:
        game.end()
    log = tmp_path / "home/.local/state/vantorel/Log.txt"
    assert log.read_bytes() == b"Game successfully returning...\n"
    assert DPKG_STATUS.read_bytes() == before, "the machine's own dpkg status changed"
