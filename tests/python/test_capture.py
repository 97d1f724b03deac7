"""A take from phonesim driven from Python, over Wi-Fi and over USB (through phonesim's usbmuxd
stand-in): connect, capture, save a clip, stop, and play the clip back."""

import os

import maya.api.OpenMaya as om
import maya.cmds as cmds
import pytest

from conftest import wait_until


@pytest.mark.parametrize("transport", ["wifi", "usb"])
def test_take_from_phone_to_playback(recording_lumora, phone, tmp_path, transport):
    cmds.loadPlugin("lumoraMocap")
    node = cmds.createNode("LMRARealTimeDevice", n="phone")
    statuses = []
    callback = om.MUserEventMessage.addUserEventCallback(
        "LMRARltDvceConnStatusChanged", lambda data: statuses.append(cmds.getAttr(node + ".connectionStatus")))
    try:
        cmds.setAttr(node + ".ipAddress", "127.0.0.1", type="string")
        cmds.setAttr(node + ".wifiPort", phone.ports["wifi"])
        cmds.setAttr(node + ".usbPort", phone.ports["usb"])
        cmds.setAttr(node + ".connectionType", 1 if transport == "usb" else 0)
        cmds.setAttr(node + ".rv", False)
        before = set(cmds.listAttr(node, ud=True) or [])
        assert cmds.establishConnection(node)
        # The outputs were rebuilt for the phone's channels, with the scripting side told.
        channels = [name for name in cmds.listAttr(node, ud=True) if name not in before]
        assert channels
        assert recording_lumora.calls[-2:] == [("suppress", True), ("suppress", False)]

        cmds.startMocapSession(node)
        first = channels[0]
        wait_until(lambda: cmds.getAttr(node + "." + first) != 0.0, "a live value on " + first)
        assert statuses, "no LMRARltDvceConnStatusChanged event"
        cmds.sleep(1.0)  # a take of about a second: the main loop runs meanwhile

        clip = str(tmp_path / "take.lmra")
        cmds.saveMocapData(node, clip, 1)
        wait_until(lambda: os.path.isfile(clip), "the clip file")
        cmds.stopMocapSession(node)

        reader = cmds.createNode("LMRAClipReader", n="reader")
        cmds.connectAttr("time1.outTime", reader + ".time")
        cmds.loadClipFromFile(reader, clip)
        cmds.currentTime(3)
        assert first in cmds.listAttr(reader, ud=True)
        assert isinstance(cmds.getAttr(reader + "." + first), float)
    finally:
        om.MMessage.removeCallback(callback)
