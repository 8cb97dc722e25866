"""End-to-end harness: Xvfb display, Wine prefixes and the uidriver window driver."""

from .display import SCREEN, DisplayError, XDisplay
from .driver import DEFAULT_TIMEOUT, Driver, DriverError, Window
from .wine import CrossBuild, WineError, WinePrefix, WineProcess

# Durations the session reports at its end (seconds).
timings = {"prefix_copies": [], "round_trips": []}

__all__ = [
    "SCREEN", "DisplayError", "XDisplay", "DEFAULT_TIMEOUT", "Driver", "DriverError", "Window",
    "CrossBuild", "WineError", "WinePrefix", "WineProcess", "timings",
]
