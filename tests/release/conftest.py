"""The releases in build/dist/, named with the project's one version."""

import os
import re

import pytest

from scene import ROOT

with open(os.path.join(ROOT, "CMakeLists.txt")) as f:
    VERSION = re.search(r"project\(Vantorel VERSION (\S+)", f.read())[1]


@pytest.fixture(scope="session")
def release():
    """release(name) -> the path of build/dist/<name>, "{v}" in it standing for the version."""

    def path(name):
        found = os.path.join(ROOT, "build", "dist", name.format(v=VERSION))
        if not os.path.exists(found):
            pytest.fail(f"{found} is missing: make it with 'make dist'")
        return found

    return path
