"""Starts and ends a headless Maya session in this Python process."""

import atexit

import _mayahost


def initialize(name="python"):
    """Starts a headless scene; maya.cmds is usable afterwards."""
    del name  # Maya's application name; the host has only one
    _mayahost.initialize()


def uninitialize():
    """Posts the exit message, unloads the plug-ins (each waits for its threads) and ends the scene."""
    _mayahost.uninitialize()


# The plug-ins end while their Python texts can still run.
atexit.register(_mayahost.at_exit)
