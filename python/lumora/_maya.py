"""What the modules share: messages in the Script Editor and waiting while Maya stays live."""

import time

import maya.cmds as cmds

from lumora import LumoraError

try:
    from maya.api.OpenMaya import MGlobal as _MGlobal
except ImportError:  # an older host without MGlobal
    _MGlobal = None

# How long to sleep between two polls of something another thread finishes.
POLL_SECONDS = 0.01


def info(text):
    if _MGlobal is not None:
        _MGlobal.displayInfo(text)
    else:
        print(text)


def warning(text):
    if _MGlobal is not None:
        _MGlobal.displayWarning(text)
    else:
        print("Warning: " + text)


def command_output(command, *args, **flags):
    """Runs a command and returns (its result, the errors it showed); a command that fails raises
    LumoraError with those errors (Maya's own exception says only that the command failed)."""
    errors = []
    callback = None
    try:
        import maya.api.OpenMaya as om

        def collect(text, kind, data):
            if kind == om.MCommandMessage.kError:
                errors.append(text.strip())

        callback = om.MCommandMessage.addCommandOutputCallback(collect)
    except (ImportError, AttributeError):
        pass
    try:
        return command(*args, **flags), errors
    except RuntimeError as error:
        raise LumoraError(" ".join(errors) or str(error))
    finally:
        if callback is not None:
            om.MMessage.removeCallback(callback)


def command_errors(command, *args, **flags):
    """Runs a command; when it fails, raises LumoraError with the errors it showed."""
    return command_output(command, *args, **flags)[0]


def serve_idle():
    """Lets Maya serve its idle queue once (device refreshes, messages of other threads)."""
    try:
        import maya.utils
        maya.utils.processIdleEvents()
    except (ImportError, AttributeError):
        pass


def wait_for(condition, timeout, what):
    """Serves idle events until condition() gives something true, and returns it; raises
    LumoraError naming what was awaited once timeout seconds have passed."""
    deadline = time.monotonic() + timeout
    while True:
        serve_idle()
        result = condition()
        if result:
            return result
        if time.monotonic() >= deadline:
            raise LumoraError("Gave up waiting for {} after {:g} s.".format(what, timeout))
        time.sleep(POLL_SECONDS)


def node_of_type(node, node_type, what):
    """node if it is of node_type, else the one selected node of that type."""
    if node:
        if not cmds.objExists(node):
            raise LumoraError("No node named {}: give the name of {}.".format(node, what))
        if cmds.nodeType(node) != node_type:
            raise LumoraError("{} is not a {} ({}).".format(node, node_type, what))
        return node
    selected = cmds.ls(selection=True, type=node_type) or []
    if len(selected) != 1:
        raise LumoraError("Select one {} node ({}), or name it: {} selected.".format(
            node_type, what, len(selected)))
    return selected[0]


def has_attr(node, attribute):
    return bool(cmds.attributeQuery(attribute, node=node, exists=True))


def attr_or_none(node, attribute):
    """The attribute's value, or None when the node has no such attribute."""
    if not has_attr(node, attribute):
        return None
    return cmds.getAttr(node + "." + attribute)


def channel_outputs(node):
    """The names of a device node's or clip reader's channel outputs, in the node's order: every
    dynamic attribute but the multipliers."""
    names = cmds.listAttr(node, userDefined=True) or []
    return [name for name in names if name != "multipliers" and not name.endswith("_mlt")]


def unique(items):
    """The items without repeats, in the order they first come."""
    seen = []
    for item in items:
        if item not in seen:
            seen.append(item)
    return seen
