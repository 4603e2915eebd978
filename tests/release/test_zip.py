"""The Windows zip unpacked into a path with a space and an accent, and played there."""

import os
import subprocess
import zipfile
import xml.etree.ElementTree as ElementTree

import pytest

import harness
import scene

# Version strings the resource must carry, besides FileVersion and ProductVersion.
STRINGS = {"ProductName": "Vantorel", "CompanyName": "The Vantorel developers",
           "OriginalFilename": "vantorel.exe", "InternalName": "vantorel",
           "LegalCopyright": "Copyright (c) 2026 The Vantorel developers"}


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


def test_zip_holds_the_game_and_its_texts_in_windows_line_ends(unpacked, release):
    assert unpacked.name + ".zip" == os.path.basename(release("vantorel-{v}-win32.zip"))
    assert sorted(os.listdir(unpacked)) == ["FinalTitle.bmp", "LICENSE.txt", "README.txt",
                                            "vantorel.exe"]
    for text in ("README.txt", "LICENSE.txt"):
        data = (unpacked / text).read_bytes()
        assert data.count(b"\n") == data.count(b"\r\n"), text


def test_exe_carries_its_version(unpacked):
    exe = unpacked / "vantorel.exe"
    version = unpacked.name.split("-")[1]
    raw = subprocess.run(["wrestool", "-x", "--raw", "-t16", exe], stdout=subprocess.PIPE,
                         check=True).stdout
    expected = dict(STRINGS, FileVersion=version + ".0", ProductVersion=version + ".0")
    assert {key: version_string(raw, key) for key in expected} == expected


# What the manifest says, by element and value: aware of each monitor's DPI, Vista to 10 (which
# 11 reports too), no elevation.
MANIFEST = {("dpiAwareness", "PerMonitorV2"), ("dpiAware", "true/pm"),
            ("requestedExecutionLevel", "asInvoker")} | {("supportedOS", os_id) for os_id in (
                "{e2011457-1546-43c5-a5fe-008deee3d3f0}", "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",
                "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}", "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",
                "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}")}


def test_exe_carries_its_manifest(unpacked):
    raw = subprocess.run(["wrestool", "-x", "--raw", "-t24", "-n1", unpacked / "vantorel.exe"],
                         stdout=subprocess.PIPE, check=True).stdout
    said = {(element.tag.split("}")[-1], element.get("Id") or element.get("level") or element.text)
            for element in ElementTree.fromstring(raw).iter()}
    assert MANIFEST - said == set()


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

