"""What the menu items and the window's buttons do beyond a single API call."""

import os

import maya.cmds as cmds

import lumora
from lumora import bake as baking
from lumora import capture, takes
from lumora.ui import state

# Said when a bake is asked for before any mapping was made.
MAP_FIRST = "Map the channels onto the rig first: Face Capture > Map Channels to Rig\u2026"


def bake(reader, mapping=None, remove_reader=False):
    """Bakes the take in reader onto the targets of mapping (default: the last mapping made),
    which the bake points at the reader first; returns the keyed plugs."""
    mapping = mapping or state.mapping
    if mapping is None:
        raise lumora.LumoraError(MAP_FIRST)
    return baking.bake_take(reader, mapping, remove_reader=remove_reader)


def baked_text(reader, keyed):
    """The confirmation of a bake."""
    keyed = list(keyed or [])
    if not keyed:
        return "Baked nothing from {}: the mapping has no targets.".format(reader)
    shown = ", ".join(keyed[:4]) + (", ..." if len(keyed) > 4 else "")
    return "Baked {} onto {} attributes as keys: {}.".format(reader, len(keyed), shown)


def load_take(path):
    """Loads a take file into a new clip reader, selects the reader and returns it."""
    reader = takes.load_take(path)
    cmds.select(reader)
    return reader


def take_filter():
    return "Takes (*.clip);;All files (*)"


def default_folder():
    """Where file dialogs start: the selected device's takes folder, else the project's."""
    devices = cmds.ls(selection=True, type=capture.DEVICE_TYPE) or capture.devices()
    if devices:
        try:
            folder = takes.folder(devices[0])
            if folder and os.path.isdir(folder):
                return folder
        except Exception:
            pass
    return cmds.workspace(q=True, rootDirectory=True) or os.getcwd()
