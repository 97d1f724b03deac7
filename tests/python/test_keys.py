"""Keys, baking and unit conversion as maya.cmds reaches them."""

import math

import maya.cmds as cmds
import pytest


def test_a_unitless_one_turns_an_angle_by_one_degree(scene):
    cmds.createNode("transform", n="src")
    cmds.createNode("transform", n="ctl")
    cmds.setAttr("src.sx", 1.0)
    cmds.connectAttr("src.sx", "ctl.rotateZ")
    assert cmds.getAttr("ctl.rotateZ") == 1.0
    conversion = cmds.listConnections("ctl.rotateZ", s=True, d=False)
    assert conversion == ["unitConversion1"] and cmds.nodeType(conversion[0]) == "unitConversion"
    assert math.isclose(cmds.getAttr("unitConversion1.conversionFactor"), math.pi / 180)
    assert cmds.listConnections("ctl.rotateZ", s=True, d=False, scn=True) == ["src"]
    assert cmds.listConnections("src", d=True, s=False, p=True, skipConversionNodes=True) == ["ctl.rotateZ"]
    # What reaches rotateZ inside: radians.
    assert math.isclose(cmds.getAttr("unitConversion1.output"), 0.0174533, rel_tol=1e-5)

    # The same for the children of compounds (a scale into a rotate) and for a time, which a
    # plain number reads in frames of the scene's unit.
    cmds.setAttr("src.scale", 1, 2, 3, type="double3")
    cmds.connectAttr("src.scale", "ctl.rotate", force=True)
    assert cmds.getAttr("ctl.rotate") == [pytest.approx((1.0, 2.0, 3.0))]
    with pytest.raises(RuntimeError):
        cmds.connectAttr("src.translate", "ctl.rotate")  # connected already
    cmds.disconnectAttr("src.scale", "ctl.rotate")
    assert cmds.listConnections("ctl", s=True, d=False) is None
    assert cmds.ls(type="unitConversion") == []
    cmds.connectAttr("time1.outTime", "ctl.tx")
    cmds.currentTime(12)
    assert cmds.getAttr("ctl.tx") == 12.0


def test_keys_and_a_bake_from_python(scene):
    cmds.currentUnit(time="ntsc")
    cmds.createNode("transform", n="src")
    cmds.createNode("transform", n="ctl")
    cmds.setKeyframe("src.sx", t=0, v=0)
    cmds.setKeyframe("src", at="sx", t=30, v=3)
    assert cmds.keyframe("src.sx", q=True, tc=True) == [0.0, 30.0]
    # Between keys the line is exact at whole frames: keys of 0 and 10 give 0, 1, ... 10.
    cmds.setKeyframe("ctl.tx", t=1, v=0)
    cmds.setKeyframe("ctl.tx", t=11, v=10)
    assert [cmds.getAttr("ctl.tx", t=frame) for frame in range(1, 12)] == [float(v) for v in range(11)]
    cmds.connectAttr("src.sx", "ctl.rz")
    assert cmds.bakeResults("ctl.rz", t=(2, 12), sampleBy=5, simulation=True, preserveOutsideKeys=True) == 1
    assert cmds.keyframe("ctl.rz", q=True, vc=True) == pytest.approx([0.2, 0.7, 1.2])
    assert cmds.listConnections("src", d=True, s=False) is None
    cmds.delete("src")
    cmds.currentTime(7)
    assert math.isclose(cmds.getAttr("ctl.rz"), 0.7)
    assert cmds.cutKey("ctl", at="rz", t=(2, 7)) == 1
    assert cmds.keyframe("ctl.rz", q=True, kc=True) == 1


def test_blend_shape_weights_by_alias(scene, tmp_path):
    cmds.createNode("blendShape", n="face")
    assert cmds.aliasAttr("jawOpen", "face.weight[0]", "smile", "face.w[3]") == 2
    # A name no plug path could reach is refused, and the pairs before it are not set either.
    for bad in ("jaw open", "1st", "jaw.open", "envelope"):
        with pytest.raises(RuntimeError):
            cmds.aliasAttr("cheek", "face.weight[5]", bad, "face.weight[6]")
    assert cmds.aliasAttr("face", q=True) == ["jawOpen", "weight[0]", "smile", "weight[3]"]
    # The names are part of the scene: a saved rig reopens with them.
    scene_file = str(tmp_path / "face.scene")
    cmds.file(rename=scene_file)
    cmds.file(save=True)
    cmds.file(new=True, force=True)
    cmds.file(scene_file, open=True, force=True)
    cmds.setAttr("face.smile", 0.25)
    assert cmds.getAttr("face.weight[3]") == 0.25
    cmds.createNode("transform", n="drv")
    cmds.connectAttr("drv.sx", "face.jawOpen")
    assert cmds.isConnected("drv.sx", "face.weight[0]")
    assert cmds.listConnections("face.jawOpen", p=True) == ["drv.scaleX"]
    assert cmds.getAttr("face.weight", size=True) == 2
