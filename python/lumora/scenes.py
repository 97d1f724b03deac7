"""Clip readers come back with their takes when a scene opens, in batch as in the interface: each
reader whose clipFilepath names a readable clip loads it, and a message names any that is missing.
Before a scene changes, the capture and takes modules forget the device nodes of the closing scene.
"""

import os

import maya.cmds as cmds

from lumora import _maya

READER_TYPE = "LMRAClipReader"

# The scene callbacks installed by install(), removed by uninstall().
_callbacks = []


def install():
    """Reloads the clip readers after every scene open and forgets the closing scene's device nodes
    before a new or opened scene (the plug-in's load runs this)."""
    import maya.api.OpenMaya as om

    uninstall()
    for message in (om.MSceneMessage.kBeforeNew, om.MSceneMessage.kBeforeOpen):
        _callbacks.append(om.MSceneMessage.addCallback(message, _before_change))
    _callbacks.append(om.MSceneMessage.addCallback(om.MSceneMessage.kAfterOpen, _after_open))
    # Readers that arrive with an imported or referenced scene (a reference loaded later too).
    for name in ("kAfterImport", "kAfterCreateReference", "kAfterLoadReference"):
        if hasattr(om.MSceneMessage, name):
            _callbacks.append(om.MSceneMessage.addCallback(getattr(om.MSceneMessage, name), _after_open))


def uninstall():
    import maya.api.OpenMaya as om

    while _callbacks:
        om.MMessage.removeCallback(_callbacks.pop())


def _before_change(*args):
    try:
        from lumora import capture, takes

        takes.forget_scene_nodes()
        capture.forget_scene_nodes()
    except Exception as error:  # a callback must never break the scene change
        _maya.warning("Lumora could not forget the devices of the closing scene: {}".format(error))


def _after_open(*args):
    try:
        reload_clips()
    except Exception as error:  # a callback must never break the scene open
        _maya.warning("Lumora could not reload the scene's takes: {}".format(error))


def _resolve(path):
    if os.path.isabs(path):
        return path
    root = cmds.workspace(query=True, rootDirectory=True) or ""
    return os.path.join(root, path)


def reload_clips():
    """Loads into every clip reader the clip its clipFilepath names; returns (reader, path, ok) for
    each reader that names one, ok False for a clip that is missing or did not load."""
    results = []
    for reader in cmds.ls(type=READER_TYPE) or []:
        path = cmds.getAttr(reader + ".clipFilepath") or ""
        if not path:
            continue
        resolved = _resolve(path)
        if not os.path.isfile(resolved) or not os.access(resolved, os.R_OK):
            _maya.warning("{} plays nothing: its take {} is missing. Put the file back, or load another "
                          "take with lumora.takes.load_take(path, \"{}\").".format(reader, path, reader))
            results.append((reader, path, False))
            continue
        results.append((reader, path, bool(cmds.loadClipFromFile(reader, resolved))))
    return results
