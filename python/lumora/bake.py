"""A take baked to keys: its mapped targets keyed at every frame of the take, at the scene's rate,
so that the result plays without the plug-in. Recording to keys is the same road: record a take
(lumora.takes), load it (lumora.takes.load_take), map it (lumora.rig), bake it."""

import math
import re

import maya.cmds as cmds

from lumora import LumoraError
from lumora import _maya

READER_TYPE = "LMRAClipReader"

# Maya's time units that are not "<N>fps".
_UNIT_RATES = {"game": 15.0, "film": 24.0, "pal": 25.0, "ntsc": 30.0, "show": 48.0, "palf": 50.0,
               "ntscf": 60.0, "millisec": 1000.0, "sec": 1.0, "min": 1.0 / 60.0, "hour": 1.0 / 3600.0,
               "29.97df": 30000.0 / 1001.0}
_NTSC_RATES = {"23.976fps": 24000.0 / 1001.0, "29.97fps": 30000.0 / 1001.0, "47.952fps": 48000.0 / 1001.0,
               "59.94fps": 60000.0 / 1001.0}


def scene_rate():
    """Frames a second of the scene's time unit."""
    unit = cmds.currentUnit(query=True, time=True)
    if unit in _UNIT_RATES:
        return _UNIT_RATES[unit]
    if unit in _NTSC_RATES:
        return _NTSC_RATES[unit]
    found = re.match(r"^(\d+(?:\.\d+)?)fps$", unit)
    if found:
        return float(found.group(1))
    raise LumoraError("The scene's time unit {!r} has no frame rate the bake knows.".format(unit))


def take_range(reader):
    """(first, last) frame of the take loaded into reader, on the scene's time line: where the
    reader plays its first and last frame, given its clipFrameOffset, rounded out to whole frames."""
    reader = _maya.node_of_type(reader, READER_TYPE, "a clip reader")
    frames = _maya.attr_or_none(reader, "clipFrameCount")
    if not frames:
        raise LumoraError("{} holds no take: load one first (lumora.takes.load_take).".format(reader))
    duration = cmds.getAttr(reader + ".clipDuration")
    offset = cmds.getAttr(reader + ".clipFrameOffset")
    first = -offset
    last = duration * scene_rate() - offset
    return int(math.floor(first + 1e-6)), int(math.ceil(last - 1e-6))


def driven_targets(reader):
    """The plugs the reader drives: directly (through unit conversions too) or through pose
    nodes."""
    targets = []
    for channel in _maya.channel_outputs(reader):
        plugs = cmds.listConnections(reader + "." + channel, source=False, destination=True, plugs=True,
                                     skipConversionNodes=True) or []
        for plug in plugs:
            node = plug.split(".", 1)[0]
            if cmds.nodeType(node) == "LMRAPose":
                targets += _posed_targets(node)
            elif plug not in targets:
                targets.append(plug)
    return _maya.unique(targets)


def _posed_targets(pose_node):
    found = []
    for apply_node in _maya.unique(cmds.listConnections(pose_node, source=False, destination=True) or []):
        if cmds.nodeType(apply_node) != "LMRAPoseApply":
            continue
        found += cmds.listConnections(apply_node + ".output", source=False, destination=True, plugs=True,
                                      skipConversionNodes=True) or []
    return found


def bake_take(reader, mapping=None, remove_reader=False):
    """Keys every target of the mapping (by default every plug the reader drives) at each frame of
    the reader's take, at the scene's rate, with bakeResults: the keys hold the values the reader
    gives at those frames, and replace what drove the targets. A mapping made on another source
    (the live device, another take) is pointed at the reader first (lumora.rig.apply), so that the
    keys are the take's. With remove_reader the reader is deleted afterwards. Returns the keyed
    plugs."""
    reader = _maya.node_of_type(reader, READER_TYPE, "a clip reader")
    first, last = take_range(reader)
    if mapping is not None and mapping.source != reader:
        from lumora import rig

        rig.apply(mapping, reader)  # the same targets, now driven by the take
    targets = mapping.targets() if mapping is not None else driven_targets(reader)
    gone = [target for target in targets if not cmds.objExists(target)]
    if gone:  # deleted from the rig since the mapping was made
        _maya.warning("Not baked, no longer in the scene: {}.".format(", ".join(gone)))
        targets = [target for target in targets if target not in gone]
    if not targets:
        raise LumoraError("{} drives nothing: map it onto the rig first (lumora.rig.map_channels).".format(reader))
    if not cmds.listConnections(reader + ".time", source=True, destination=False):
        cmds.connectAttr("time1.outTime", reader + ".time")
    cmds.bakeResults(targets, time=(first, last), sampleBy=1, simulation=True, preserveOutsideKeys=True)
    if remove_reader:
        cmds.delete(reader)
    _maya.info("Baked {} onto {} target{}: frames {} to {}.".format(
        reader if not remove_reader else "the take", len(targets), "" if len(targets) == 1 else "s", first, last))
    return targets
