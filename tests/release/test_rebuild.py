"""The three releases made twice from this checkout, as someone checking a download would:
in two folders on two file systems, with other umasks, time zones and locales, a minute apart."""

import calendar
import glob
import gzip
import io
import os
import shutil
import subprocess
import tarfile
import tempfile
import time
import zipfile

import pytest

from scene import ROOT

# What the two builds differ in besides their folders; the first's files are a day older than
# the last commit, as in a tree checked out before it.
BUILDS = [{"umask": 0o022, "TZ": "UTC", "LC_ALL": "C", "age": 86400},
          {"umask": 0o002, "TZ": "Pacific/Kiritimati", "LC_ALL": "C.UTF-8", "age": 0}]


def git(*argv):
    return subprocess.run(["git", "-C", ROOT, *argv], stdout=subprocess.PIPE, text=True,
                          check=True).stdout


def checkout(folder):
    """A clone of HEAD with the working tree's changes that git sees copied over it."""
    subprocess.run(["git", "clone", "-q", "--shared", ROOT, folder], check=True)
    for name in git("ls-files", "-z", "-m", "-o", "--exclude-standard").split("\0")[:-1]:
        target = os.path.join(folder, name)
        if os.path.lexists(os.path.join(ROOT, name)):
            os.makedirs(os.path.dirname(target), exist_ok=True)
            shutil.copy(os.path.join(ROOT, name), target, follow_symlinks=False)
        else:
            os.remove(target)


def dist(folder, build):
    checkout(folder)
    if build["age"]:
        stamp = int(git("log", "-1", "--format=%ct")) - build["age"]
        for name in git("ls-files", "-z").split("\0")[:-1]:
            os.utime(os.path.join(folder, name), (stamp, stamp), follow_symlinks=False)
    env = {key: value for key, value in os.environ.items() if key != "SOURCE_DATE_EPOCH"}
    with open(os.path.join(folder, "dist.log"), "w") as log:
        made = subprocess.run(["scripts/dist"], cwd=folder, stdout=log, stderr=subprocess.STDOUT,
                              env=dict(env, TZ=build["TZ"], LC_ALL=build["LC_ALL"]))
    assert made.returncode == 0, open(os.path.join(folder, "dist.log")).read()[-3000:]
    return os.path.join(folder, "build", "dist")


@pytest.fixture(scope="module")
def rebuilt(tmp_path_factory):
    """The two build/dist folders: the second on tmpfs, begun at least a minute after the first."""
    with tempfile.TemporaryDirectory(dir="/dev/shm") as other:
        folders = [str(tmp_path_factory.mktemp("rebuild") / "vantorel"), other + "/src/game"]
        made = []
        for folder, build in zip(folders, BUILDS):
            if made:
                time.sleep(max(0, began + 61 - time.time()))
            began = time.time()
            mask = os.umask(build["umask"])
            try:
                made.append(dist(folder, build))
            finally:
                os.umask(mask)
        yield made


def test_two_builds_write_the_same_sha256sums(rebuilt):
    first, second = [open(os.path.join(folder, "SHA256SUMS")).read() for folder in rebuilt]
    assert first == second, f"compare the releases of {rebuilt} with diffoscope"


def test_every_time_stamp_is_the_last_commit_s(rebuilt):
    epoch = int(git("log", "-1", "--format=%ct"))
    with zipfile.ZipFile(glob.glob(rebuilt[0] + "/*.zip")[0]) as archive:
        # DOS times count in two-second steps, in UTC here.
        near = {abs(calendar.timegm(info.date_time) - epoch) < 2 for info in archive.infolist()}
        exe = archive.read(next(name for name in archive.namelist() if name.endswith(".exe")))
    # The PE header's time stamp is left out altogether.
    header = int.from_bytes(exe[0x3C:0x40], "little")
    assert (near, exe[header + 8:header + 12]) == ({True}, bytes(4))
    with open(glob.glob(rebuilt[0] + "/*.tar.gz")[0], "rb") as f:
        web = f.read()
    # The gzip header: no time, no name.
    assert (web[4:8], web[3] & 0x08) == (bytes(4), 0)
    data = subprocess.run(["dpkg-deb", "--fsys-tarfile", glob.glob(rebuilt[0] + "/*.deb")[0]],
                          stdout=subprocess.PIPE, check=True).stdout
    for tar in (gzip.decompress(web), data):
        with tarfile.open(fileobj=io.BytesIO(tar)) as archive:
            assert {member.mtime for member in archive.getmembers()} == {epoch}
