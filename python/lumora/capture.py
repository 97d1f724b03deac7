"""Capture from a phone: the device node and its connection.

Every call takes the device node by name, or uses the selected LMRARealTimeDevice when no name is
given.
"""

import maya.cmds as cmds

DEVICE_TYPE = "LMRARealTimeDevice"


def device(node=None):
    """The device node to work on: node if given, else the one selected device node."""
    if node:
        if not cmds.objExists(node) or cmds.nodeType(node) != DEVICE_TYPE:
            raise ValueError("{} is not a {} node".format(node, DEVICE_TYPE))
        return node
    selected = cmds.ls(selection=True, type=DEVICE_TYPE) or []
    if len(selected) != 1:
        raise ValueError("Select one {} node, or name it (selected: {})".format(DEVICE_TYPE, len(selected)))
    return selected[0]


def check_connection(node=None):
    """Runs the connection to the phone step by step without capturing, and returns one line per
    step: its outcome and, for a step that failed, what to try next. The node is left as it was."""
    return list(cmds.checkPhoneConnection(device(node)) or [])
