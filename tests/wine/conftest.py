import os
import sys

import pytest

sys.path.insert(0, os.path.dirname(__file__))

from saver import RunningSaver  # noqa: E402 (found through the path above)


@pytest.fixture
def saver():
    """Starts full-screen savers; any still running at the end are stopped."""
    started = []
    yield lambda **settings: started.append(RunningSaver(**settings)) or started[-1]
    for running in started:
        running.program.stop()
