"""The Windows zip as a player meets it: unpacked into a folder whose path has a space and an
accent, and played there under Wine; its version resource; its text files in CR LF."""

import os
import struct
import subprocess
import zipfile

import pytest

import harness
import scene

# Version strings the resource must carry, besides FileVersion and ProductVersion.
STRINGS = {"ProductName": "Vantorel", "CompanyName": "The Vantorel developers",
           "OriginalFilename": "vantorel.exe", "InternalName": "vantorel",
           "LegalCopyright": "Copyright (c) 2026 The Vantorel developers"}
# The DLLs every Windows has; the C and C++ run-times are linked in.
WINDOWS_DLLS = {"ddraw.dll", "gdi32.dll", "kernel32.dll", "msvcrt.dll", "user32.dll", "winmm.dll"}


def version_string(raw, key):
    """A String entry's value: after its key and a NUL in UTF-16, padded to 32 bits."""
    start = raw.find((key + "\0").encode("utf-16-le")) + 2 * len(key) + 2
    start += -start % 4
    return raw[start:].decode("utf-16-le", errors="replace").split("\0")[0]


@pytest.fixture(scope="module")
def unpacked(release, tmp_path_factory):
    folder = tmp_path_factory.mktemp("zip") / "Mes jeux é"
    with zipfile.ZipFile(release("vantorel-{v}-win32.zip")) as archive:
        names = archive.namelist()
        archive.extractall(folder)
    (top,) = {name.split("/")[0] for name in names}
    return folder / top


def test_zip_holds_the_game_and_its_texts_in_windows_line_ends(unpacked, version):
    assert unpacked.name == f"vantorel-{version}-win32"
    assert sorted(os.listdir(unpacked)) == ["FinalTitle.bmp", "LICENSE.txt", "README.txt",
                                            "vantorel.exe"]
    for text in ("README.txt", "LICENSE.txt"):
        data = (unpacked / text).read_bytes()
        assert data.count(b"\n") == data.count(b"\r\n"), text
    assert b"MIT" in (unpacked / "LICENSE.txt").read_bytes()


def test_exe_carries_its_version_and_needs_only_windows_dlls(unpacked, version):
    exe = unpacked / "vantorel.exe"
    raw = subprocess.run(["wrestool", "-x", "--raw", "-t16", exe], stdout=subprocess.PIPE,
                         check=True).stdout
    expected = dict(STRINGS, FileVersion=version + ".0", ProductVersion=version + ".0")
    assert {key: version_string(raw, key) for key in expected} == expected
    # VS_FIXEDFILEINFO: the signature, its layout version, then the file and product versions.
    fixed = raw.index(struct.pack("<I", 0xFEEF04BD))
    numbers = [int(n) for n in version.split(".")] + [0]
    binary = (numbers[0] << 16 | numbers[1], numbers[2] << 16 | numbers[3])
    assert struct.unpack_from("<4I", raw, fixed + 8) == binary * 2
    dump = subprocess.run(["i686-w64-mingw32-objdump", "-p", exe], stdout=subprocess.PIPE,
                          text=True, check=True).stdout
    dlls = {line.split()[-1].lower() for line in dump.splitlines() if "DLL Name:" in line}
    assert dlls <= WINDOWS_DLLS


def test_zip_plays_where_it_was_unpacked(unpacked, screen, wine_env):
    game = harness.Game(["wine", "vantorel.exe"], str(unpacked), wine_env, screen,
                        focus="Wine desktop")
    try:
        assert game.shows(lambda shot: scene.field(shot) or scene.title_drawn(shot)) == ""
        game.press_until("Escape", game.ended)
        assert game.process.wait(30) == 0
        assert (unpacked / "Log.txt").read_bytes() == b"Game successfully returning...\r\n"
    finally:
        game.end()
        harness.end_wine(wine_env)


def test_sums_match_the_three_releases(release):
    sums = release("SHA256SUMS")
    check = subprocess.run(["sha256sum", "--check", sums], cwd=os.path.dirname(sums),
                           stdout=subprocess.PIPE, text=True)
    assert check.stdout.count(": OK\n") == 3
