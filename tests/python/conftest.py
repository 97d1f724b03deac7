"""The headless host as a python3 process sees it: maya.standalone from build/python, the plug-in
found by name through MAYA_PLUG_IN_PATH, and the repository's python/ folder on sys.path."""

import math
import os
import subprocess
import sys
import time

import pytest

SOURCE_DIR = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
BUILD_DIR = os.path.abspath(os.environ.get("LMRA_BUILD_DIR", os.path.join(SOURCE_DIR, "build")))

sys.path.insert(0, os.path.join(BUILD_DIR, "python"))
sys.path.insert(1, os.path.join(SOURCE_DIR, "python"))
os.environ["MAYA_PLUG_IN_PATH"] = os.path.join(BUILD_DIR, "plug-ins")
# The window tests need no display: Qt draws offscreen.
os.environ.setdefault("QT_QPA_PLATFORM", "offscreen")
# Child processes (hostbatch, a second python3) see the same package and plug-ins.
os.environ["PYTHONPATH"] = os.pathsep.join(sys.path[:2] + [os.environ.get("PYTHONPATH", "")])

import maya.standalone  # noqa: E402

maya.standalone.initialize(name="python")

import maya.cmds as cmds  # noqa: E402


DEADLINE_SECONDS = 30.0


def program(name):
    return os.path.join(BUILD_DIR, "bin", name)


def wait_until(condition, what, deadline=DEADLINE_SECONDS):
    """Serves the main loop (device refreshes, messages of other threads) until the condition
    holds; fails the test after the deadline."""
    import maya.utils

    end = time.monotonic() + deadline
    while not condition():
        if time.monotonic() > end:
            pytest.fail("timed out waiting for " + what)
        maya.utils.processIdleEvents()
        time.sleep(0.01)


def write_clip(path, columns, rows):
    """A clip file at path (cliptool make) with the scalar channels columns and one row per frame:
    its time, then one value per channel."""
    csv = str(path) + ".csv"
    with open(csv, "w") as stream:
        stream.write(",".join(["time"] + list(columns)) + "\n")
        for row in rows:
            stream.write(",".join(repr(float(value)) for value in row) + "\n")
    subprocess.run([program("cliptool"), "make", csv, str(path)], check=True, stdout=subprocess.PIPE)
    os.remove(csv)
    return str(path)


# A second of face channels at 60 frames a second, each moving its own way.
FACE_CHANNELS = ("jawOpen", "eyeBlinkLeft", "eyeBlinkRight", "mouthSmileLeft", "browInnerUp", "cheekPuff")


def face_value(channel, seconds):
    return round(0.5 + 0.5 * math.sin(2.0 * seconds + FACE_CHANNELS.index(channel)), 6)


@pytest.fixture(autouse=True)
def api_calls_on_the_main_thread_only():
    """Maya's API is for the main thread: a test fails when anything, the plug-in's threads
    included, called it from another one."""
    import _mayahost

    _mayahost.clear_wrong_thread_calls()
    yield
    assert _mayahost.wrong_thread_call_count() == 0, "the API was called from another thread"


@pytest.fixture
def face_take(tmp_path):
    """A one-second take of FACE_CHANNELS (face_value) at 60 frames a second."""
    rows = [[i / 60.0] + [face_value(channel, i / 60.0) for channel in FACE_CHANNELS] for i in range(61)]
    return write_clip(tmp_path / "face_take.clip", FACE_CHANNELS, rows)


class Phone(object):
    """phonesim on free loopback ports, with its usbmuxd stand-in on a socket in folder."""

    def __init__(self, folder, *options):
        self.socket = str(folder / "usbmuxd.sock")
        self.process = subprocess.Popen(
            [program("phonesim"), "--bind", "127.0.0.1", "--udp-port", "0", "--usb-port", "0", "--usbmuxd-socket",
             self.socket] + list(options), stdout=subprocess.PIPE, universal_newlines=True)
        self.ports = {}
        for line in self.process.stdout:  # it prints its endpoints once they listen
            words = line.split()
            if words[1:3] in (["wifi", "udp"], ["usb", "tcp"]):
                self.ports[words[1]] = int(words[3].rsplit(":", 1)[1])
            if words[1:3] == ["usbmuxd", "unix"]:
                break
        assert set(self.ports) == {"wifi", "usb"}, "phonesim did not start"

    def stop(self):
        self.process.terminate()
        self.process.communicate(timeout=DEADLINE_SECONDS)


@pytest.fixture
def phone(tmp_path):
    """A phone (phonesim), reachable over Wi-Fi and, through USBMUXD_SOCKET_ADDRESS, over USB."""
    started = Phone(tmp_path)
    previous = os.environ.get("USBMUXD_SOCKET_ADDRESS")
    os.environ["USBMUXD_SOCKET_ADDRESS"] = "UNIX:" + started.socket
    yield started
    if previous is None:
        del os.environ["USBMUXD_SOCKET_ADDRESS"]
    else:
        os.environ["USBMUXD_SOCKET_ADDRESS"] = previous
    started.stop()


@pytest.fixture
def device(scene, phone, tmp_path):
    """A device node "phone" in a new scene, connected to phonesim over Wi-Fi, its takes going to
    tmp_path/takes as shot "shotA"."""
    import lumora.capture
    import lumora.takes

    node = lumora.capture.create_device("phone")
    assert lumora.capture.connect_wifi("127.0.0.1", phone.ports["wifi"], node=node) == 1
    lumora.takes.set_folder(str(tmp_path / "takes"), node)
    lumora.takes.set_shot("shotA", node)
    yield node
    lumora.capture.disconnect(node)


@pytest.fixture
def scene():
    """A new scene with the plug-in loaded; emptied again afterwards."""
    cmds.loadPlugin("lumoraMocap")
    cmds.file(new=True, force=True)
    cmds.currentUnit(time="film")  # the host keeps the time unit across scenes: Maya's default
    yield cmds
    cmds.file(new=True, force=True)
    cmds.currentUnit(time="film")


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
