"""The headless host as a python3 process sees it: maya.standalone from build/python, the plug-in
found by name through MAYA_PLUG_IN_PATH, and the repository's python/ folder on sys.path."""

import os
import sys

import pytest

SOURCE_DIR = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
BUILD_DIR = os.path.abspath(os.environ.get("LMRA_BUILD_DIR", os.path.join(SOURCE_DIR, "build")))

sys.path.insert(0, os.path.join(BUILD_DIR, "python"))
sys.path.insert(1, os.path.join(SOURCE_DIR, "python"))
os.environ["MAYA_PLUG_IN_PATH"] = os.path.join(BUILD_DIR, "plug-ins")
# Child processes (hostbatch, a second python3) see the same package and plug-ins.
os.environ["PYTHONPATH"] = os.pathsep.join(sys.path[:2] + [os.environ.get("PYTHONPATH", "")])

import maya.standalone  # noqa: E402

maya.standalone.initialize(name="python")

import maya.cmds as cmds  # noqa: E402


def program(name):
    return os.path.join(BUILD_DIR, "bin", name)


@pytest.fixture
def scene():
    """A new scene with the plug-in loaded; emptied again afterwards."""
    cmds.loadPlugin("lumoraMocap")
    cmds.file(new=True, force=True)
    yield cmds
    cmds.file(new=True, force=True)


@pytest.fixture
def output():
    """The lines the script output shows during the test, as (message, type)."""
    import maya.api.OpenMaya as om

    lines = []
    callback = om.MCommandMessage.addCommandOutputCallback(lambda text, kind, data: lines.append((text, kind)))
    yield lines
    om.MMessage.removeCallback(callback)


RECORDING_LUMORA = {
    "__init__.py": (
        "import sys, types\n"
        "calls = []\n"
        "class _Recording(types.ModuleType):\n"
        "    def __setattr__(self, name, value):\n"
        "        if name == 'suppress_on_attr_refresh':\n"
        "            calls.append(('suppress', value))\n"
        "        super().__setattr__(name, value)\n"
        "sys.modules[__name__].__class__ = _Recording\n"
    ),
    "lib.py": (
        "import lumora\n"
        "def plugin_init():\n"
        "    lumora.calls.append('init')\n"
        "def plugin_cleanup():\n"
        "    lumora.calls.append('cleanup')\n"
    ),
}


def write_recording_lumora(folder):
    package = folder / "lumora"
    package.mkdir()
    for name, text in RECORDING_LUMORA.items():
        (package / name).write_text(text)
    return str(folder)


@pytest.fixture
def recording_lumora(tmp_path):
    """A lumora package that records what the plug-in's Python texts call, loaded before the
    plug-in is; the plug-in is unloaded before and after."""
    cmds.file(new=True, force=True)
    if cmds.pluginInfo("lumoraMocap", q=True, loaded=True):
        cmds.unloadPlugin("lumoraMocap")
    saved = {name: module for name, module in sys.modules.items() if name.split(".")[0] == "lumora"}
    for name in saved:
        del sys.modules[name]
    sys.path.insert(0, write_recording_lumora(tmp_path))
    import lumora

    yield lumora
    cmds.file(new=True, force=True)
    if cmds.pluginInfo("lumoraMocap", q=True, loaded=True):
        cmds.unloadPlugin("lumoraMocap")
    sys.path.remove(str(tmp_path))
    for name in [name for name in sys.modules if name.split(".")[0] == "lumora"]:
        del sys.modules[name]
    sys.modules.update(saved)
