"""The web tarball unpacked under a sub-path of a server, played, installed, then played again
with the server gone."""

import tarfile

import harness
import scene
from chromium import canvas, served

# The names of the origin's caches, and every URL the first of them holds.
CACHED_URLS = """const done = arguments[0];
caches.keys().then((names) => caches.open(names[0]).then((cache) => cache.keys())
  .then((requests) => done([names, requests.map((request) => request.url)])));"""


def plays(driver):
    assert harness.poll(lambda: not scene.field(canvas(driver)), 30), "the field was not drawn"


def test_site_installs_and_plays_offline_from_a_sub_path(release, browser, tmp_path):
    with tarfile.open(release("vantorel-{v}-web.tar.gz")) as archive:
        archive.extractall(tmp_path / "server" / "games")
        (top,) = {name.split("/")[0] for name in archive.getnames()}
    site = (tmp_path / "server" / "games" / top).rename(tmp_path / "server" / "games" / "vantorel")
    files = [path.relative_to(site).as_posix() for path in site.rglob("*") if path.is_file()]
    with served(tmp_path / "server") as server:
        address = server + "games/vantorel/"
        browser.get(address)
        plays(browser)
        assert harness.poll(lambda: browser.execute_script(
            "return navigator.serviceWorker.controller !== null"), 30), "no worker took over"
        names, cached = browser.execute_async_script(CACHED_URLS)
        assert len(names) == 1
        assert sorted(cached) == sorted([address] + [address + file for file in files])
        errors = browser.execute_cdp_cmd("Page.getInstallabilityErrors", {})
        assert errors["installabilityErrors"] == []
    browser.refresh()
    plays(browser)
