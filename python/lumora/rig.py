"""Capture channels mapped onto a rig: a blendShape's targets, a node's unitless attributes, and
angles or distances through pose nodes.

A channel finds its target by name: the same name first, then the same name regardless of case
and separators ("jaw_open"), then the usual left/right spellings (eyeBlinkLeft, eyeBlink_L,
EyeBlinkL, L_eyeBlink); an override table ({target: channel}, channel None to leave a target out)
wins over all of these. A unitless channel never drives an angle or a distance directly, where
Maya's implicit conversion would turn 1.0 into 1 degree: such a target is driven through an
LMRAPose and an LMRAPoseApply, with its rest and pose values (degrees for an angle, centimetres for
a distance) given in the mapping.
"""

import collections
import json
import math
import re

import maya.cmds as cmds

from lumora import LumoraError
from lumora import _maya

SOURCE_TYPES = ("LMRARealTimeDevice", "LMRAClipReader")
POSE_TYPE = "LMRAPose"
APPLY_TYPE = "LMRAPoseApply"
FORMAT_VERSION = 1

# How a target found its channel, in the order the rules are tried.
EXACT, LOOSE, SIDE, OVERRIDE, POSE = "exact", "case and separators", "left/right spelling", "override", "pose"

Match = collections.namedtuple("Match", "channel target how")

# Attribute types that carry a unit; a channel reaches them only through a pose.
_UNIT_TYPES = {"doubleAngle": math.pi / 180.0, "doubleLinear": 1.0}
_UNITLESS_TYPES = ("double", "float", "long", "short", "byte", "bool", "enum")
_SEPARATORS = re.compile(r"[\s_.:\-|]+")
_WORDS = re.compile(r"[A-Z]+(?![a-z])|[A-Z]?[a-z]+|\d+")
_SIDES = {"l": "left", "left": "left", "lf": "left", "lft": "left",
          "r": "right", "right": "right", "rt": "right", "rgt": "right"}


class Report(object):
    """What a mapping connected and what it left out."""

    def __init__(self, source, matched=None, unmatched_channels=None, unmatched_targets=None):
        self.source = source
        self.matched = list(matched or [])  # Match(channel, target plug, how)
        self.unmatched_channels = list(unmatched_channels or [])
        self.unmatched_targets = list(unmatched_targets or [])  # (target plug, reason)
        self.replaced = []  # (target plug, the plug that drove it before), for drivers not ours

    def __str__(self):
        lines = ["{}: {} target{} mapped.".format(self.source, len(self.matched),
                                                  "" if len(self.matched) == 1 else "s")]
        lines += ["  {} -> {} ({})".format(m.channel, m.target, m.how) for m in self.matched]
        if self.unmatched_targets:
            lines.append("Targets without a channel:")
            lines += ["  {}: {}".format(target, reason) for target, reason in self.unmatched_targets]
        if self.unmatched_channels:
            lines.append("Channels that drive nothing: " + ", ".join(self.unmatched_channels))
        if self.replaced:
            lines.append("Connections replaced (the target was driven by something else before):")
            lines += ["  {}: was driven by {}".format(target, driver) for target, driver in self.replaced]
        return "\n".join(lines)

    def __repr__(self):
        return "<lumora.rig.Report {} matched, {} unmatched targets, {} unmatched channels>".format(
            len(self.matched), len(self.unmatched_targets), len(self.unmatched_channels))


class Mapping(object):
    """Which channel drives which target: pairs (channel, target plug) connected directly, poses
    (channel, target, rest, pose and the nodes built for them) for angles and distances, and the
    overrides the match was made with."""

    def __init__(self, source=None, pairs=None, poses=None, overrides=None):
        self.source = source
        self.pairs = [tuple(pair) for pair in (pairs or [])]
        self.poses = [_pose_entry(pose) for pose in (poses or [])]
        self.overrides = dict(overrides or {})

    def targets(self):
        """Every target plug the mapping drives."""
        return [target for _, target in self.pairs] + _maya.unique(pose["target"] for pose in self.poses)

    def to_json(self):
        return json.dumps({"version": FORMAT_VERSION, "source": self.source,
                           "pairs": [list(pair) for pair in self.pairs], "poses": self.poses,
                           "overrides": self.overrides}, indent=2, sort_keys=True)

    @classmethod
    def from_json(cls, text):
        try:
            data = json.loads(text)
            if not isinstance(data, dict) or data.get("version") != FORMAT_VERSION:
                raise ValueError("not a version {} mapping".format(FORMAT_VERSION))
            pairs = [(str(channel), str(target)) for channel, target in data.get("pairs", [])]
            return cls(data.get("source"), pairs, data.get("poses", []), data.get("overrides", {}))
        except (ValueError, TypeError, KeyError) as error:
            raise LumoraError("This is not a Lumora rig mapping ({}): save one with Mapping.save.".format(error))

    def save(self, path):
        try:
            with open(path, "w") as stream:
                stream.write(self.to_json() + "\n")
        except (IOError, OSError) as error:
            raise LumoraError("Cannot write the mapping {}: {}: pick another file.".format(
                path, error.strerror or error))

    @classmethod
    def load(cls, path):
        try:
            with open(path) as stream:
                text = stream.read()
        except (IOError, OSError) as error:
            raise LumoraError("Cannot read the mapping {}: {}.".format(path, error.strerror or error))
        except UnicodeDecodeError as error:
            raise LumoraError("This is not a Lumora rig mapping ({}): {} is not text.".format(error.reason, path))
        return cls.from_json(text)

    def __repr__(self):
        return "<lumora.rig.Mapping from {}: {} pairs, {} poses>".format(self.source, len(self.pairs), len(self.poses))


def _pose_entry(pose):
    """A pose as a dict: channel, target, rest, pose (and the nodes once built)."""
    if isinstance(pose, dict):
        entry = dict(pose)
    else:
        channel, target, rest, value = pose
        entry = {"channel": channel, "target": target, "rest": rest, "pose": value}
    missing = [key for key in ("channel", "target", "rest", "pose") if key not in entry]
    if missing:
        raise LumoraError("A pose needs channel, target, rest and pose; {} lacks {}.".format(pose, ", ".join(missing)))
    entry["rest"] = float(entry["rest"])
    entry["pose"] = float(entry["pose"])
    return entry


def _source(node):
    if not node or not cmds.objExists(node) or cmds.nodeType(node) not in SOURCE_TYPES:
        raise LumoraError("{} is no capture source: give a {} or an {}.".format(node, *SOURCE_TYPES))
    channels = _maya.channel_outputs(node)
    if not channels:
        raise LumoraError("{} has no channels yet: connect the device, or load a take into the reader.".format(node))
    return channels


def _loose_key(name):
    return _SEPARATORS.sub("", name).lower()


def _side_key(name):
    words = [word.lower() for part in _SEPARATORS.split(name) for word in _WORDS.findall(part)]
    sides = [_SIDES[word] for word in words if word in _SIDES]
    rest = [word for word in words if word not in _SIDES]
    return "".join(rest) + "|" + "".join(sides)


def _find_channel(name, channels):
    """(channel, how), or (None, reason)."""
    if name in channels:
        return name, EXACT
    for rule, key in ((LOOSE, _loose_key), (SIDE, _side_key)):
        wanted = key(name)
        found = [channel for channel in channels if key(channel) == wanted]
        if len(found) == 1:
            return found[0], rule
        if len(found) > 1:
            return None, "several channels fit ({}): name one in the overrides".format(", ".join(found))
    return None, "no channel of that name"


def _attribute_type(plug):
    node, _, attribute = plug.partition(".")
    if "[" in attribute or not _maya.has_attr(node, attribute):
        return "double"  # an array element (a blendShape weight) or an alias of one
    return cmds.attributeQuery(attribute, node=node, attributeType=True)


def _node_targets(node):
    """(name, plug) for a blendShape's targets by name, or a node's unitless attributes."""
    if not cmds.objExists(node):
        raise LumoraError("No node named {}: give a blendShape, a node or plugs (node.attribute).".format(node))
    if cmds.nodeType(node) == "blendShape":
        aliases = cmds.aliasAttr(node, query=True) or []
        if not aliases:
            raise LumoraError("The blendShape {} has no named targets.".format(node))
        return [(alias, node + "." + alias) for alias in aliases[0::2]]
    names = _maya.unique((cmds.listAttr(node, userDefined=True) or []) + (cmds.listAttr(node, keyable=True) or []))
    return [(name, node + "." + name) for name in names
            if cmds.attributeQuery(name, node=node, attributeType=True) in _UNITLESS_TYPES]


def _targets(targets):
    """(name, plug) for each target: targets is a blendShape (its target names), a node (its
    unitless attributes), a plug, or a list of those (a selection); a plug named twice counts
    once."""
    found = []
    for target in _maya.unique([targets] if isinstance(targets, str) else targets):
        if "." not in target:
            found += _node_targets(target)
        elif not cmds.objExists(target.split(".", 1)[0]):
            raise LumoraError("{} is no plug: no node named {}.".format(target, target.split(".", 1)[0]))
        else:
            found.append((target.split(".", 1)[1], target))
    return _maya.unique(found)


def map_channels(source, targets, overrides=None, poses=None, connect=True):
    """Maps the channels of source (a device node or a clip reader) onto targets (a blendShape
    node, any node, a plug, or a list of those) by name, with the overrides ({target name or plug:
    channel, or None to leave the target out}) and the poses (dicts or tuples of channel, target
    plug, rest, pose) for angles and distances. Connects the mapping unless connect is False and
    returns (mapping, report)."""
    channels = _source(source)
    overrides = dict(overrides or {})
    pose_entries = [_pose_entry(pose) for pose in (poses or [])]
    posed = set(pose["target"] for pose in pose_entries)
    pairs = []
    report = Report(source)
    for name, plug in _targets(targets):
        if plug in posed:
            continue
        if not cmds.objExists(plug):
            report.unmatched_targets.append((plug, _NO_TARGET))
            continue
        override_key = plug if plug in overrides else name if name in overrides else None
        if override_key is not None:
            channel = overrides[override_key]
            if channel is None:
                report.unmatched_targets.append((plug, "left out by the overrides"))
                continue
            if channel not in channels:
                report.unmatched_targets.append((plug, "the override names {}, which {} lacks".format(channel, source)))
                continue
            how = OVERRIDE
        else:
            channel, how = _find_channel(name, channels)
            if channel is None:
                report.unmatched_targets.append((plug, how))
                continue
        kind = _attribute_type(plug)
        if kind in _UNIT_TYPES and _attribute_type(source + "." + channel) != kind:
            # An angle output (a head or eye rotation) drives an angle as it is.
            report.unmatched_targets.append((plug, "{} is {} and {} has no unit: drive it through a pose (rest and "
                                                   "pose values)".format(plug, "an angle" if kind == "doubleAngle"
                                                                         else "a distance", channel)))
            continue
        pairs.append((channel, plug))
        report.matched.append(Match(channel, plug, how))
    mapping = Mapping(source, pairs, pose_entries, overrides)
    if connect:
        applied = apply(mapping)
        report.matched += [m for m in applied.matched if m.how == POSE]
        report.unmatched_targets += applied.unmatched_targets
        report.replaced = applied.replaced
    else:
        report.matched += [Match(pose["channel"], pose["target"], POSE) for pose in pose_entries]
    used = set(m.channel for m in report.matched)
    report.unmatched_channels = [channel for channel in channels if channel not in used]
    return mapping, report


# Why a target that is not there gets no channel.
_NO_TARGET = "no such attribute: the node has none of that name (or was deleted)"


def _safe(text):
    return re.sub(r"[^A-Za-z0-9_]", "_", text)


def _foreign_driver(target):
    """The plug that drives target from outside the capture set-up (anything but a device, a clip
    reader or a pose node: a rig's own driver, the keys of an earlier bake), or None."""
    ours = SOURCE_TYPES + (POSE_TYPE, APPLY_TYPE)
    for plug in cmds.listConnections(target, source=True, destination=False, plugs=True,
                                     skipConversionNodes=True) or []:
        if cmds.nodeType(plug.split(".", 1)[0]) not in ours:
            return plug
    return None


def _connect(source_plug, destination_plug):
    if not cmds.isConnected(source_plug, destination_plug):
        cmds.connectAttr(source_plug, destination_plug, force=True)


def _build_pose_nodes(mapping):
    """Creates (or finds again) the pose nodes of every pose of the mapping and connects them:
    pose out -> apply values, apply output -> (explicit units) -> target. The channels are
    connected to the pose weights by apply()."""
    groups = collections.OrderedDict()
    for pose in mapping.poses:
        groups.setdefault(pose["target"], []).append(pose)
    for target, poses in groups.items():
        if not cmds.objExists(target):
            continue  # apply() reports it
        apply_node = poses[0].get("apply_node")
        if not apply_node or not cmds.objExists(apply_node):
            apply_node = cmds.createNode(APPLY_TYPE, name="lmraApply_" + _safe(target))
        cmds.setAttr(apply_node + ".rest", poses[0]["rest"])
        kind = _attribute_type(target)
        if kind in _UNIT_TYPES:
            # Explicit, so that the values stay in degrees or centimetres whatever the UI units.
            conversion = poses[0].get("conversion_node")
            if not conversion or not cmds.objExists(conversion):
                conversion = cmds.createNode("unitConversion", name="lmraUnits_" + _safe(target))
            cmds.setAttr(conversion + ".conversionFactor", _UNIT_TYPES[kind])
            _connect(apply_node + ".output", conversion + ".input")
            _connect(conversion + ".output", target)
        else:
            conversion = None
            _connect(apply_node + ".output", target)
        for index, pose in enumerate(poses):
            pose_node = pose.get("pose_node")
            if not pose_node or not cmds.objExists(pose_node):
                name = "lmraPose_{}_{}".format(_safe(pose["channel"]), _safe(target))
                pose_node = cmds.createNode(POSE_TYPE, name=name)
            cmds.setAttr(pose_node + ".attrs[0].rest", pose["rest"])
            cmds.setAttr(pose_node + ".attrs[0].pose", pose["pose"])
            _connect(pose_node + ".attrs[0].out", "{}.values[{}]".format(apply_node, index))
            pose.update(pose_node=pose_node, apply_node=apply_node, conversion_node=conversion)


def apply(mapping, source=None):
    """Connects the mapping from source (by default the mapping's own), so that a rig mapped on a
    live device plays a take, or the other way round: the same targets, another source. Returns a
    report; a target whose channel the new source lacks is let go by the old source, so that no
    target goes on following the other one."""
    source = source or mapping.source
    channels = _source(source)
    previous = mapping.source if mapping.source != source and cmds.objExists(mapping.source or "") else None
    report = Report(source)

    def missing(channel, target, driven):
        reason = "{} has no channel {}".format(source, channel)
        if previous and cmds.isConnected(previous + "." + channel, driven):
            cmds.disconnectAttr(previous + "." + channel, driven)
            reason += "; disconnected from " + previous
        report.unmatched_targets.append((target, reason))

    for target in _maya.unique([target for channel, target in mapping.pairs if channel in channels] +
                               [pose["target"] for pose in mapping.poses if pose["channel"] in channels]):
        driver = cmds.objExists(target) and _foreign_driver(target)
        if driver:
            report.replaced.append((target, driver))
    for channel, target in mapping.pairs:
        if not cmds.objExists(target):
            report.unmatched_targets.append((target, _NO_TARGET))
            continue
        if channel not in channels:
            missing(channel, target, target)
            continue
        _connect(source + "." + channel, target)
        report.matched.append(Match(channel, target, EXACT if previous is None else "remapped"))
    _build_pose_nodes(mapping)
    for pose in mapping.poses:
        if not cmds.objExists(pose["target"]) or not cmds.objExists(pose.get("pose_node") or ""):
            report.unmatched_targets.append((pose["target"], _NO_TARGET))
            continue
        if pose["channel"] not in channels:
            missing(pose["channel"], pose["target"], pose["pose_node"] + ".weight")
            continue
        _connect(source + "." + pose["channel"], pose["pose_node"] + ".weight")
        report.matched.append(Match(pose["channel"], pose["target"], POSE))
    mapping.source = source
    used = set(m.channel for m in report.matched)
    report.unmatched_channels = [channel for channel in channels if channel not in used]
    return report
