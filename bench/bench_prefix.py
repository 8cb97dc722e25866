"""A Wine prefix for one benchmark run: a base prefix prepared in the run's work folder, one
copy of it with its wineserver started, on the given display."""

import os

from harness import WinePrefix
from harness import wine as winemod

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def started_prefix(work, display, build):
    base = os.path.join(work, "base-prefix")
    winemod.prepare_base_prefix(os.path.join(ROOT, "tools", "wine", "prepare-prefix.sh"), base)
    wine = WinePrefix.copy_of(base, os.path.join(work, "prefix"), display, build,
                              screenshots_dir=os.path.join(work, "shots"), logs_dir=os.path.join(work, "logs"))
    wine.start_server()
    return wine
