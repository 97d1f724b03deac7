"""lumora.rig and lumora.bake: channels mapped by name onto the blendShape stand-in with a report,
an angle driven through pose nodes, a mapping saved, loaded and moved from live to a take, and a
take baked to keys that play without the plug-in."""

import math

import maya.cmds as cmds
import pytest

import lumora.bake as bake
import lumora.capture as capture
import lumora.rig as rig
import lumora.takes as takes
from conftest import FACE_CHANNELS, wait_until, write_clip
from lumora import LumoraError
from test_takes import perform


def blend_shape(name, targets):
    node = cmds.createNode("blendShape", name=name)
    for index, target in enumerate(targets):
        cmds.aliasAttr(target, "{}.weight[{}]".format(node, index))
    return node


def test_a_device_maps_onto_a_blend_shape_by_name_and_moves_to_a_take(device, tmp_path):
    face = blend_shape("face", ["jawOpen", "EyeBlink_L", "eyeBlinkR", "mouth_smile_left", "browinnerup", "tongue",
                                "cheek", "L_eyeWide"])
    mapping, report = rig.map_channels(device, face, overrides={"cheek": "cheekPuff"})
    assert {(m.target, m.channel, m.how) for m in report.matched} == {
        ("face.jawOpen", "jawOpen", rig.EXACT),
        ("face.EyeBlink_L", "eyeBlinkLeft", rig.SIDE),
        ("face.eyeBlinkR", "eyeBlinkRight", rig.SIDE),
        ("face.mouth_smile_left", "mouthSmileLeft", rig.LOOSE),
        ("face.browinnerup", "browInnerUp", rig.LOOSE),
        ("face.cheek", "cheekPuff", rig.OVERRIDE),
        ("face.L_eyeWide", "eyeWideLeft", rig.SIDE),
    }
    assert report.unmatched_targets == [("face.tongue", "no channel of that name")]
    assert "tongueOut" in report.unmatched_channels and "jawOpen" not in report.unmatched_channels
    text = str(report)
    assert "eyeBlinkLeft -> face.EyeBlink_L (left/right spelling)" in text and "face.tongue: no channel" in text

    for bad in (float("nan"), float("inf"), 10 ** 400, "half", None):
        with pytest.raises(LumoraError, match="A multiplier is a number"):
            capture.set_multiplier("jawOpen", bad, node=device)
    capture.start(device)
    wait_until(lambda: cmds.getAttr("face.jawOpen") != 0.0, "the live jawOpen on the blendShape")
    assert cmds.getAttr("face.jawOpen") == pytest.approx(cmds.getAttr(device + ".jawOpen"), abs=1e-6)

    # Saved, loaded, and moved onto a take: the same targets, now from the clip reader.
    path = str(tmp_path / "face.json")
    mapping.save(path)
    loaded = rig.Mapping.load(path)
    assert loaded.pairs == mapping.pairs and loaded.overrides == {"cheek": "cheekPuff"}
    takes.record(device)
    perform(device)
    reader = takes.load_take(takes.stop_and_save(device).path)
    moved = rig.apply(loaded, reader)
    assert len(moved.matched) == 7 and not moved.unmatched_targets
    assert cmds.listConnections("face.jawOpen", source=True, destination=False) == [reader]
    assert cmds.isConnected(reader + ".eyeBlinkLeft", "face.EyeBlink_L")
    rig.apply(loaded, device)  # and back to live
    assert cmds.listConnections("face.jawOpen", source=True, destination=False) == [device]

    # A rotation output drives a rotation as it is; a face channel does not.
    cmds.createNode("transform", name="head_ctrl")
    _, report = rig.map_channels(device, ["head_ctrl.rotateX", "head_ctrl.rotateY"],
                                 overrides={"head_ctrl.rotateX": "headRotateX", "head_ctrl.rotateY": "jawOpen"})
    assert [(m.target, m.channel) for m in report.matched] == [("head_ctrl.rotateX", "headRotateX")]
    assert report.unmatched_targets[0][0] == "head_ctrl.rotateY" and "through a pose" in report.unmatched_targets[0][1]
    assert not cmds.ls(type="unitConversion")

    with pytest.raises(LumoraError, match="not a Lumora rig mapping"):
        rig.Mapping.from_json('{"pairs": []}')


def test_an_angle_is_driven_only_through_pose_nodes(scene, face_take, tmp_path):
    reader = takes.load_take(face_take)
    cmds.createNode("transform", name="jaw_ctrl")
    # Named onto an angle, a channel is refused: Maya would turn 1.0 into one degree.
    _, report = rig.map_channels(reader, ["jaw_ctrl.rotateZ"], overrides={"jaw_ctrl.rotateZ": "jawOpen"})
    assert report.unmatched_targets[0][0] == "jaw_ctrl.rotateZ" and "pose" in report.unmatched_targets[0][1]
    assert not cmds.listConnections("jaw_ctrl.rotateZ", source=True, destination=False)

    mapping, report = rig.map_channels(reader, [], poses=[("jawOpen", "jaw_ctrl.rotateZ", 5.0, 35.0)])
    assert [(m.channel, m.target, m.how) for m in report.matched] == [("jawOpen", "jaw_ctrl.rotateZ", rig.POSE)]
    for frame in (0, 7, 20):
        cmds.currentTime(frame)
        assert cmds.getAttr("jaw_ctrl.rotateZ") == pytest.approx(5.0 + 30.0 * cmds.getAttr(reader + ".jawOpen"))
    # channel -> pose weight, pose out -> apply, apply -> the one conversion, made explicitly.
    pose = mapping.poses[0]
    assert cmds.isConnected(reader + ".jawOpen", pose["pose_node"] + ".weight")
    assert cmds.isConnected(pose["pose_node"] + ".attrs[0].out", pose["apply_node"] + ".values[0]")
    conversions = cmds.ls(type="unitConversion")
    assert conversions == [pose["conversion_node"]]
    assert cmds.getAttr(conversions[0] + ".conversionFactor") == pytest.approx(math.pi / 180.0)
    assert cmds.listConnections("jaw_ctrl.rotateZ", source=True, destination=False, skipConversionNodes=True) == [
        pose["apply_node"]]
    # Applied again (a loaded mapping, another source): the same nodes, no second set.
    rig.apply(rig.Mapping.from_json(mapping.to_json()), reader)
    assert len(cmds.ls(type="LMRAPose")) == 1 and len(cmds.ls(type="LMRAPoseApply")) == 1
    # A source without the channel: the old source lets go rather than drive on beside the new one.
    other = takes.load_take(write_clip(tmp_path / "blinks.clip", ["eyeBlinkLeft"], [[0.0, 0.1], [1.0, 0.9]]))
    report = rig.apply(mapping, other)
    assert report.unmatched_targets == [
        ("jaw_ctrl.rotateZ", "{} has no channel jawOpen; disconnected from {}".format(other, reader))]
    assert not cmds.listConnections(pose["pose_node"] + ".weight", source=True, destination=False)

    # Targets that are not there are reported, never half-connected; a plug named twice counts once.
    # A driver of the rig's own that a mapping replaces is named in the report.
    cmds.createNode("transform", name="ctl")
    cmds.createNode("transform", name="rig_driver")
    cmds.connectAttr("rig_driver.translateX", "ctl.scaleX")
    driven, report = rig.map_channels(reader, ["ctl.scaleX", "ctl.scaleX", "ctl.nosuch"],
                                      overrides={"ctl.scaleX": "jawOpen", "ctl.nosuch": "jawOpen"})
    assert report.replaced == [("ctl.scaleX", "rig_driver.translateX")]
    assert "ctl.scaleX: was driven by rig_driver.translateX" in str(report)
    assert rig.apply(driven, reader).replaced == []  # the mapping's own connections are not a rig's
    # A selection of several nodes and plugs maps each of them.
    blend_shape("mouth", ["jawOpen"])
    blend_shape("brows", ["brow_inner_up"])
    _, several = rig.map_channels(reader, ["mouth", "brows", "ctl.scaleX"], overrides={"ctl.scaleX": "cheekPuff"},
                                  connect=False)
    assert {(m.target, m.how) for m in several.matched} == {
        ("mouth.jawOpen", rig.EXACT), ("brows.brow_inner_up", rig.LOOSE), ("ctl.scaleX", rig.OVERRIDE)}
    assert [m.target for m in report.matched] == ["ctl.scaleX"]
    assert [(plug, "no such attribute" in why) for plug, why in report.unmatched_targets] == [("ctl.nosuch", True)]
    cmds.delete("jaw_ctrl")
    report = rig.apply(mapping, reader)
    assert [(plug, "no such attribute" in why) for plug, why in report.unmatched_targets] == [
        ("jaw_ctrl.rotateZ", True)]
    with pytest.raises(LumoraError, match="drives nothing"):  # its one target is gone
        bake.bake_take(reader, mapping)
    # A mapping file that cannot be written or is not text says so.
    with pytest.raises(LumoraError, match="Cannot write the mapping"):
        mapping.save(str(tmp_path))
    (tmp_path / "binary.json").write_bytes(b"\xff\xfe\x00garbage")
    with pytest.raises(LumoraError, match="not a Lumora rig mapping"):
        rig.Mapping.load(str(tmp_path / "binary.json"))


def test_a_bake_keys_the_reader_values_at_every_frame_and_plays_without_the_plugin(scene, face_take, tmp_path):
    cmds.currentUnit(time="ntsc")
    reader = takes.load_take(face_take)
    cmds.setAttr(reader + ".clipFrameOffset", 3)
    blend_shape("face", ["jawOpen", "eyeBlink_L", "mouthSmile_L"])
    cmds.createNode("transform", name="jaw_ctrl")
    # Mapped on another source (as a live device would be): the bake keys the take it is given.
    other = takes.load_take(write_clip(tmp_path / "other.clip", FACE_CHANNELS, [[0.0] + [0.25] * 6, [1.0] + [0.75] * 6]))
    mapping, _ = rig.map_channels(other, "face", poses=[("jawOpen", "jaw_ctrl.rotateZ", 0.0, 30.0)])
    first, last = bake.take_range(reader)
    assert (first, last) == (-3, 27)  # a second at 30 frames a second, played 3 frames ahead
    frames = list(range(first, last + 1))
    sampled = {channel: [cmds.getAttr(reader + "." + channel, time=f) for f in frames] for channel in FACE_CHANNELS}
    expected = {"face.jawOpen": sampled["jawOpen"], "face.eyeBlink_L": sampled["eyeBlinkLeft"],
                "face.mouthSmile_L": sampled["mouthSmileLeft"],
                "jaw_ctrl.rotateZ": [30.0 * value for value in sampled["jawOpen"]]}

    keyed = bake.bake_take(reader, mapping, remove_reader=True)
    assert sorted(keyed) == sorted(expected) and not cmds.objExists(reader)
    for plug, values in expected.items():
        assert cmds.keyframe(plug, query=True, timeChange=True) == [float(f) for f in frames]
        assert cmds.keyframe(plug, query=True, valueChange=True) == pytest.approx(values, abs=1e-6)

    # Keys alone drive the targets: without the pose nodes and the plug-in they play the take.
    cmds.delete([other] + [node for pose in mapping.poses for node in (pose["pose_node"], pose["apply_node"])])
    cmds.flushUndo()
    cmds.unloadPlugin("lumoraMocap")
    for index in (0, 10, len(frames) - 1):
        cmds.currentTime(frames[index])
        for plug, values in expected.items():
            assert cmds.getAttr(plug) == pytest.approx(values[index], abs=1e-6)
