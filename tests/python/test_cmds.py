"""maya.cmds on the host: flags, argument words, result types and errors, and maya.mel."""

import maya.cmds as cmds
import maya.mel as mel
import pytest


def test_flags_by_long_and_short_name_and_repeated(scene):
    assert cmds.createNode("transform", name="a") == "a"
    assert cmds.createNode("transform", n="b") == "b"
    cmds.createNode("LMRARealTimeDevice", n="dev")
    assert cmds.ls(type="transform") == ["a", "b"]
    assert cmds.ls(typ="transform") == ["a", "b"]
    assert cmds.ls(type=["transform", "LMRARealTimeDevice"]) == ["a", "b", "dev"]
    assert cmds.ls(type=("transform", "LMRARealTimeDevice")) == ["a", "b", "dev"]  # a tuple too


def test_boolean_flags_and_query(scene):
    assert cmds.pluginInfo("lumoraMocap", q=True, loaded=True) is True
    assert cmds.pluginInfo("noSuchPlugin", query=True, l=True) is False
    cmds.createNode("transform", n="t")
    cmds.select("t")
    assert cmds.ls(sl=True) == ["t"]
    assert cmds.ls(sl=False, type="transform") == ["t"]  # False leaves the switch out


def test_positional_values_as_mel_writes_them(scene):
    cmds.createNode("transform", n="t")
    cmds.setAttr("t.translate", 1, 2.5, -3)
    assert cmds.getAttr("t.translate") == [(1.0, 2.5, -3.0)]
    cmds.setAttr("t.translate", *[1e-05, 0.1, 90])
    assert cmds.getAttr("t.tx") == pytest.approx(1e-05)
    cmds.setAttr("t.visibility", False)
    assert cmds.getAttr("t.visibility") is False
    # A value that starts with '-' is a value, not a flag.
    cmds.createNode("LMRARealTimeDevice", n="dev")
    cmds.setAttr("dev.ipAddress", "-name", type="string")
    assert cmds.getAttr("dev.ipAddress") == "-name"


def test_result_types(scene):
    cmds.createNode("LMRARealTimeDevice", n="dev")
    assert isinstance(cmds.getAttr("dev.wifiPort"), int)
    assert isinstance(cmds.getAttr("dev.connectionStatus"), int)
    assert isinstance(cmds.currentTime(q=True), float)
    assert cmds.getAttr("dev.ipAddress") == cmds.getAttr("dev.ipAddress") and isinstance(
        cmds.getAttr("dev.ipAddress"), str)
    assert cmds.objExists("dev") is True
    assert cmds.nodeType("dev") == "LMRARealTimeDevice"
    assert isinstance(cmds.listAttr("dev", ud=True) or [], list)
    assert cmds.delete("dev") is None


def test_failures_raise_runtime_error_with_the_message(scene, output):
    with pytest.raises(RuntimeError, match="No object matches name: ghost"):
        cmds.getAttr("ghost.tx")
    with pytest.raises(RuntimeError, match="Invalid flag '-bogus'"):
        cmds.createNode("transform", bogus=1)
    with pytest.raises(AttributeError):
        cmds.noSuchCommand()
    for value in (None, {"transform": 1}, {"transform"}):  # no text a command could read
        with pytest.raises(TypeError):
            cmds.ls(type=value)
    with pytest.raises(ValueError, match="embedded null character"):  # it would name another file
        cmds.file(rename="/tmp/scene\0.ma")
    # The error travels with the exception; the script output does not show it twice.
    assert not [text for text, kind in output if "ghost" in text]


def test_plugin_commands_are_commands(scene):
    assert "establishConnection" in dir(cmds)
    cmds.createNode("LMRARealTimeDevice", n="dev")
    with pytest.raises(RuntimeError):
        cmds.establishConnection("nowhere")


def test_mel_eval_and_python_from_mel(scene):
    cmds.createNode("transform", n="t")
    assert mel.eval("setAttr t.ty 4; getAttr t.ty") == 4.0
    assert mel.eval('python("6 * 7")') == "42"
    with pytest.raises(RuntimeError, match="No object matches name"):
        mel.eval("getAttr ghost.tx")
