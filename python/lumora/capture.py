"""Capture from a phone: the device node, its connection, capture, status and health.

Every call takes the device node by name, or uses the selected LMRARealTimeDevice when no name is
given.
"""

import collections
import math

import maya.cmds as cmds

from lumora import LumoraError
from lumora import _maya

DEVICE_TYPE = "LMRARealTimeDevice"
# Posted by the plug-in whenever a device node's connectionStatus changes.
STATUS_EVENT = "LMRARltDvceConnStatusChanged"

Status = collections.namedtuple("Status", "code text")
Health = collections.namedtuple(
    "Health", "frames_received receive_rate last_frame_age_ms last_frame_time dropped_messages streaming")

STATUS_TEXTS = {0: "Not connected", 1: "Connected", 2: "Capturing", 3: "Capturing with video"}
# The health outputs, in Health's order.
HEALTH_ATTRIBUTES = ("framesReceived", "receiveRate", "lastFrameAge", "lastFrameTime", "droppedMessages",
                     "streaming")


# Device nodes paused through this package; start and stop take them out again.
_paused = set()


def forget_scene_nodes():
    """The scene is about to change (new or open): its device nodes go with it, and a node of the
    same name later is another node, not paused."""
    _paused.clear()


def devices():
    """The device nodes of the scene."""
    return cmds.ls(type=DEVICE_TYPE) or []


def device(node=None):
    """The device node to work on: node if given, else the one selected device node."""
    return _maya.node_of_type(node, DEVICE_TYPE, "a capture device")


def create_device(name="lumoraDevice"):
    """A new device node (live at 60 frames a second)."""
    return cmds.createNode(DEVICE_TYPE, name=name)


def check_address(address):
    """Raises LumoraError unless address can name the phone (a string that is not blank)."""
    if not isinstance(address, str) or not address.strip():
        raise LumoraError("Give the phone's address (the app shows it on its streaming screen).")


def check_port(port, attribute="port"):
    """Raises LumoraError unless port is a whole number from 1 to 65535; attribute names it."""
    if isinstance(port, bool) or not isinstance(port, int) or not 1 <= port <= 65535:
        raise LumoraError("The {} {!r} is no port: give a number from 1 to 65535.".format(attribute, port))


def _connect(node):
    connected = cmds.establishConnection(node)
    code = status(node).code
    # connectionStatus may publish at the node's next refresh: the command's answer is current.
    return max(code, 1) if connected else 0


def configure_wifi(address, port=None, node=None):
    """Stores the phone's address (and port, else the node's wifiPort stays) on the node and picks
    Wi-Fi, without contacting the phone: what connect_wifi and check_connection then use. Checked
    first; returns the node."""
    node = device(node)
    check_address(address)
    if port is not None:
        check_port(port, "Wi-Fi port")
    cmds.setAttr(node + ".ipAddress", address.strip(), type="string")
    if port is not None:
        cmds.setAttr(node + ".wifiPort", port)
    cmds.setAttr(node + ".connectionType", 0)
    return node


def configure_usb(port=None, node=None):
    """Stores the app's USB port (else the node's usbPort stays) on the node and picks USB,
    without contacting the phone. Checked first; returns the node."""
    node = device(node)
    if port is not None:
        check_port(port, "USB port")
        cmds.setAttr(node + ".usbPort", port)
    cmds.setAttr(node + ".connectionType", 1)
    return node


def connect_wifi(address, port=None, node=None):
    """Connects over Wi-Fi to the phone at address (and port, else the node's wifiPort) and returns
    the status code (1 when connected; the Script Editor says why not)."""
    return _connect(configure_wifi(address, port, node))


def connect_usb(port=None, node=None):
    """Connects over USB (through usbmuxd) and returns the status code."""
    return _connect(configure_usb(port, node))


def disconnect(node=None):
    """Ends the node's session, if one is open."""
    node = device(node)
    _paused.discard(node)
    cmds.stopMocapSession(node)  # false, and nothing else, without a session


def start(node=None, video=None):
    """Starts (or resumes) capture; video True or False sets recordVideo first."""
    node = device(node)
    if video is not None:
        cmds.setAttr(node + ".rv", bool(video))
    if not cmds.startMocapSession(node):
        raise LumoraError("{} did not start capturing: it is not connected (connect it first with "
                          "lumora.capture.connect_wifi or connect_usb), or see the Script Editor for why."
                          .format(node))
    _paused.discard(node)


def pause(node=None):
    """Pauses capture: the outputs hold their values, the session stays open."""
    node = device(node)
    paused = bool(cmds.pauseMocapSession(node))
    if paused:
        _paused.add(node)
    return paused


def stop(node=None):
    """Ends the session (status 0). A take still being saved loses its video: use
    lumora.takes.stop_and_save to end a take."""
    node = device(node)
    _paused.discard(node)
    return bool(cmds.stopMocapSession(node))


def status(node=None):
    node = device(node)
    code = cmds.getAttr(node + ".connectionStatus")
    return Status(code, STATUS_TEXTS.get(code, "Status {}".format(code)))


def is_paused(node=None):
    """True while the node's session is paused through this package (pause, or a take being
    saved), until it starts again or ends."""
    node = device(node)
    return node in _paused and status(node).code != 0


def health(node=None):
    """The node's health outputs; a field is None when the node has no such output."""
    node = device(node)
    return Health(*[_maya.attr_or_none(node, name) for name in HEALTH_ATTRIBUTES])


def channel_names(node=None):
    """The node's channel outputs (after a connection): scalars, vector X/Y/Z and matrix
    Translate/Rotate outputs, in the node's order."""
    return _maya.channel_outputs(device(node))


def _channel_plug(name, node):
    if not _maya.has_attr(node, name):
        raise LumoraError("{} has no channel {}: connect it first, or pick one of lumora.capture."
                          "channel_names().".format(node, name))
    return node + "." + name


def channel_value(name, node=None):
    return channel_values([name], node)[0]


def channel_values(names, node=None):
    """The values of the named channels, in order. The node is checked once for all of them (the
    capture window reads every shown channel ten times a second); a channel the node lacks
    raises LumoraError."""
    node = device(node)
    values = []
    for name in names:
        try:
            values.append(cmds.getAttr(node + "." + name))
        except (RuntimeError, ValueError):
            _channel_plug(name, node)  # names the missing channel
            raise
    return values


def multiplier(name, node=None):
    node = device(node)
    _channel_plug(name, node)
    return cmds.getAttr(_channel_plug(name + "_mlt", node))


def set_multiplier(name, value, node=None):
    """Sets the channel's multiplier: its output is its value times this finite number."""
    node = device(node)
    _channel_plug(name, node)
    plug = _channel_plug(name + "_mlt", node)
    try:
        number = float(value)
    except (TypeError, ValueError, OverflowError):
        number = float("nan")
    if isinstance(value, bool) or not math.isfinite(number):
        raise LumoraError("A multiplier is a number, such as 0.8 or 1.5; {!r} is not.".format(value))
    cmds.setAttr(plug, number)


def check_connection(node=None):
    """Runs the connection to the phone step by step without capturing, and returns one line per
    step: its outcome and, for a step that failed, what to try next. The node is left as it was."""
    return list(cmds.checkPhoneConnection(device(node)) or [])
