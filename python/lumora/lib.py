"""Hooks the lumoraMocap plug-in runs when it loads and unloads.

They must never fail the plug-in: each does its work inside Maya only when Maya is there, and
returns quietly otherwise.
"""

import sys

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
    _add_menu()


def plugin_cleanup():
    """Runs when the plug-in unloads, after its nodes and commands are gone."""
    global initialized
    import lumora
    lumora.suppress_on_attr_refresh = False
    initialized = False
    _remove_ui()
    scenes = _scenes()
    if scenes is not None:
        scenes.uninstall()


def _interactive():
    """Whether Maya runs with its UI (not mayabatch, mayapy or maya.standalone)."""
    try:
        import maya.cmds as cmds
        return not cmds.about(batch=True)
    except Exception:
        return False


def _add_menu():
    """The Face Capture menu on Maya's main window, in an interactive session only: batch
    sessions never import Qt."""
    if not _interactive():
        return
    try:
        from lumora.ui import menu
        if menu.install() is None:
            # Maya loads plug-ins at start-up before its main window exists: once more when idle.
            import maya.utils
            maya.utils.executeDeferred(_add_menu_when_idle)
    except Exception as error:
        _warn("the Face Capture menu could not be added", error)


def _add_menu_when_idle():
    if initialized:
        try:
            from lumora.ui import menu
            menu.install()
        except Exception as error:
            _warn("the Face Capture menu could not be added", error)


def _remove_ui():
    """Takes the menu off and closes the window and dialogs, if the UI was ever imported."""
    if "lumora.ui" not in sys.modules:
        return
    try:
        import lumora.ui
        from lumora.ui import menu
        lumora.ui.close()
        menu.remove()
    except Exception as error:
        _warn("the Face Capture menu could not be removed", error)


def _warn(what, error):
    text = "lumora: {}: {}: {}".format(what, type(error).__name__, error)
    try:
        import maya.api.OpenMaya as om
        om.MGlobal.displayWarning(text)
    except Exception:
        print("# Warning: " + text)
