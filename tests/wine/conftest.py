import os
import sys

import pytest

sys.path.insert(0, os.path.dirname(__file__))

from saver import RunningSaver, reg  # noqa: E402 (found through the path above)

SUBSET = os.environ.get("SAVER_SUBSET")


def pytest_collection_modifyitems(config, items):
    # With SAVER_SUBSET, a file of test ids (file::name[parameters], one a
    # line), only the tests it names run; a file none of them is in passes.
    if not SUBSET:
        return
    with open(SUBSET) as listed:
        wanted = {line.strip() for line in listed if line.strip() and not line.startswith("#")}
    ids = {f"{item.path.name}::{item.name}": item for item in items}
    # A listed id of a file collected here that names no test is a typo or a renamed test.
    if lost := {i for i in wanted - ids.keys() if i.partition("::")[0] in {item.path.name for item in items}}:
        raise pytest.UsageError(f"{SUBSET} names no such tests: {sorted(lost)}")
    config.hook.pytest_deselected(items=[item for i, item in ids.items() if i not in wanted])
    items[:] = [item for i, item in ids.items() if i in wanted]


def pytest_sessionfinish(session, exitstatus):
    if SUBSET and exitstatus == pytest.ExitCode.NO_TESTS_COLLECTED:
        session.exitstatus = pytest.ExitCode.OK


@pytest.fixture
def started():   # things (programs, hosts, savers) to stop at the end of the test
    things = []
    yield things
    for thing in things:
        getattr(thing, "program", thing).stop()


@pytest.fixture
def saver(started):   # starts full-screen savers on the settings given
    return lambda **settings: started.append(RunningSaver(**settings)) or started[-1]


@pytest.fixture
def registry():
    # Sets registry values (name None: the key's default value) for one test.
    made = []

    def set_value(key, name, data, kind="REG_SZ"):
        which = ["/v", name] if name else ["/ve"]
        assert reg("add", key, *which, "/t", kind, "/d", data, "/f").returncode == 0
        made.append((key, which))
    yield set_value
    for key, which in reversed(made):
        reg("delete", key, *which, "/f")
