"""Lumora facial capture for Maya: the scripting side of the lumoraMocap plug-in.

The plug-in calls into this package when it loads and unloads (lumora.lib) and sets
``suppress_on_attr_refresh`` while it rebuilds a node's channel multipliers, so that scripts
watching attribute changes can ignore the ones it makes itself.

The capture workflow as an API, every module working on Maya's main thread through maya.cmds:

- lumora.capture: the device node, its connection, capture, status and health;
- lumora.takes: takes named, numbered, timed and confirmed, listed and loaded;
- lumora.rig: capture channels mapped onto a blendShape or a rig, saved as JSON;
- lumora.bake: a take baked to keys;
- lumora.scenes: clip readers reloaded when a scene opens.
"""

# True while the plug-in rebuilds a node's multipliers; attribute-change handlers skip those.
suppress_on_attr_refresh = False


class LumoraError(RuntimeError):
    """Something the user can put right; the message says what to do."""
