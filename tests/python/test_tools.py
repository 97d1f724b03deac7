"""The scene-query and session commands that tools and windows use."""

import os

import maya.cmds as cmds
import pytest


def test_ls_select_and_wildcards(scene):
    for name in ("faceA", "faceB", "body"):
        cmds.createNode("transform", n=name)
    assert cmds.ls("face*") == ["faceA", "faceB"]
    assert cmds.ls("fac?B", "bo*") == ["faceB", "body"]
    assert cmds.ls("nothing*") == []
    cmds.select("faceA", "body")
    assert cmds.ls(sl=True) == ["faceA", "body"]
    cmds.select("body", d=True)
    cmds.select("faceB", add=True)
    assert cmds.ls(sl=True, type="transform") == ["faceA", "faceB"]
    cmds.delete("faceA")
    assert cmds.ls(sl=True) == ["faceB"]
    cmds.select(clear=True)
    assert cmds.ls(selection=True) == []
    # delete without names deletes what is selected, and says what to do when nothing is.
    with pytest.raises(RuntimeError, match="select them"):
        cmds.delete()
    cmds.select("faceB", "body")
    cmds.delete()
    assert cmds.ls("face*", "body") == []


def test_list_connections(scene):
    cmds.createNode("transform", n="a")
    cmds.createNode("transform", n="b")
    assert cmds.listConnections("a") is None
    cmds.connectAttr("a.tx", "b.ty")
    cmds.connectAttr("time1.outTime", "b.tz")
    assert cmds.listConnections("b") == ["a", "unitConversion1"]  # a time into a distance
    assert cmds.listConnections("b", s=True, d=False, p=True, scn=True) == ["a.translateX", "time1.outTime"]
    assert cmds.listConnections("a", d=True, s=False, c=True, p=True) == ["a.translateX", "b.translateY"]
    assert cmds.listConnections("b.ty", p=True) == ["a.translateX"]
    assert cmds.listConnections("a", s=True, d=False) is None


def test_attributes_queries_and_aliases(scene):
    cmds.createNode("transform", n="t")
    assert cmds.attributeQuery("translateX", node="t", exists=True) is True
    assert cmds.attributeQuery("nope", node="t", exists=True) is False
    assert cmds.attributeQuery("translate", node="t", listChildren=True) == ["translateX", "translateY", "translateZ"]
    assert "translateX" in cmds.listAttr("t", k=True)
    assert cmds.listAttr("t", ud=True) is None
    assert cmds.aliasAttr("t", q=True) is None
    cmds.aliasAttr("jawOpen", "t.translateX")
    assert cmds.aliasAttr("t", q=True) == ["jawOpen", "translateX"]
    cmds.setAttr("t.jawOpen", 0.5)
    assert cmds.getAttr("t.translateX") == 0.5
    assert cmds.objExists("t.jawOpen") and not cmds.objExists("t.nope")
    cmds.aliasAttr("t.jawOpen", rm=True)
    assert not cmds.objExists("t.jawOpen")


def test_scene_units_are_set_queried_and_saved_with_the_scene(scene, tmp_path):
    def units():
        return [cmds.currentUnit(q=True, **{kind: True}) for kind in ("time", "linear", "angle")]

    try:
        cmds.currentUnit(time="ntsc", linear="m", angle="rad")
        assert units() == ["ntsc", "m", "rad"]
        assert cmds.currentUnit(q=True, linear=True, fullName=True) == "meter"
        with pytest.raises(RuntimeError):
            cmds.currentUnit(time="film", linear="parsec")  # one bad name changes nothing
        assert units() == ["ntsc", "m", "rad"]
        # A scene opens in the units it was saved in, whatever the session had.
        cmds.file(rename=str(tmp_path / "units.scene"))
        cmds.file(save=True)
        cmds.currentUnit(time="film", linear="cm", angle="deg")
        cmds.file(str(tmp_path / "units.scene"), open=True, force=True)
        assert units() == ["ntsc", "m", "rad"]
    finally:
        cmds.currentUnit(time="film", linear="cm", angle="deg")


def test_session_queries(scene):
    assert cmds.about(batch=True) is True
    assert cmds.workspace(q=True, rootDirectory=True) == os.getcwd() + "/"
    cmds.playbackOptions(min=10, max=50)
    assert cmds.playbackOptions(q=True, min=True) == 10.0
    assert cmds.playbackOptions(q=True, maxTime=True) == 50.0
    assert cmds.currentUnit(q=True, time=True) in ("film", "ntsc", "pal", "sec")
    cmds.currentTime(12)
    assert cmds.currentTime(q=True) == 12.0
