"""Hooks the lumoraMocap plug-in runs when it loads and unloads.

They must never fail the plug-in: each does its work inside Maya only when Maya is there, and
returns quietly otherwise.
"""

# Whether plugin_init has run since the plug-in was last loaded.
initialized = False


def plugin_init():
    """Runs once the plug-in has registered its nodes and commands."""
    global initialized
    initialized = True


def plugin_cleanup():
    """Runs when the plug-in unloads, after its nodes and commands are gone."""
    global initialized
    import lumora
    lumora.suppress_on_attr_refresh = False
    initialized = False
