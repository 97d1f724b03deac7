"""Hooks the lumoraMocap plug-in runs when it loads and unloads.

They must never fail the plug-in: each does its work inside Maya only when Maya is there, and
returns quietly otherwise.
"""

# Whether plugin_init has run since the plug-in was last loaded.
initialized = False


def _scenes():
    """lumora.scenes, or None outside Maya."""
    try:
        from lumora import scenes
    except ImportError:
        return None
    return scenes


def plugin_init():
    """Runs once the plug-in has registered its nodes and commands."""
    global initialized
    initialized = True
    scenes = _scenes()
    if scenes is not None:
        scenes.install()  # clip readers reload their takes when a scene opens


def plugin_cleanup():
    """Runs when the plug-in unloads, after its nodes and commands are gone."""
    global initialized
    import lumora
    lumora.suppress_on_attr_refresh = False
    initialized = False
    scenes = _scenes()
    if scenes is not None:
        scenes.uninstall()
