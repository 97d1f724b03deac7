"""Lumora facial capture for Maya: the scripting side of the lumoraMocap plug-in.

The plug-in calls into this package when it loads and unloads (lumora.lib) and sets
``suppress_on_attr_refresh`` while it rebuilds a node's channel multipliers, so that scripts
watching attribute changes can ignore the ones it makes itself.
"""

# True while the plug-in rebuilds a node's multipliers; attribute-change handlers skip those.
suppress_on_attr_refresh = False
