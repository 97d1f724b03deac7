"""lumora.scenes: a reopened scene plays its take, interactively and in batch, and a missing take
is named."""

import os
import subprocess

import maya.cmds as cmds
import pytest

import lumora.scenes as scenes
import lumora.takes as takes
from conftest import program

FRAMES = (0, 9, 20)


def test_a_reopened_scene_plays_its_take(scene, face_take, tmp_path, output):
    reader = takes.load_take(face_take)
    played = [cmds.getAttr(reader + ".jawOpen", time=frame) for frame in FRAMES]
    assert played[0] != played[1]
    scene_path = str(tmp_path / "shot.ma")
    cmds.file(rename=scene_path)
    cmds.file(save=True)

    cmds.file(new=True, force=True)
    cmds.file(scene_path, open=True, force=True)
    assert cmds.getAttr(reader + ".clipFrameCount") == 61
    for frame, value in zip(FRAMES, played):
        cmds.currentTime(frame)
        assert cmds.getAttr(reader + ".jawOpen") == pytest.approx(value)

    # The same in batch, where nothing but the scene open runs the reload.
    script = tmp_path / "play.py"
    script.write_text(
        "import maya.cmds as cmds\n"
        "cmds.loadPlugin('lumoraMocap')\n"
        "cmds.file({!r}, open=True, force=True)\n"
        "print('batch', cmds.about(batch=True), [cmds.getAttr({!r}, time=f) for f in {!r}])\n".format(
            scene_path, reader + ".jawOpen", FRAMES))
    ran = subprocess.run([program("hostbatch"), "-batch", "-stop-on-error", str(script)], stdout=subprocess.PIPE,
                         stderr=subprocess.STDOUT, universal_newlines=True, timeout=120)
    assert ran.returncode == 0, ran.stdout
    line = [text for text in ran.stdout.splitlines() if text.startswith("batch ")][0]
    assert line.startswith("batch True [")
    assert [float(value) for value in line.split("[", 1)[1].rstrip("]").split(",")] == pytest.approx(played)

    # A take that went away is named, and the reader is left as the scene saved it.
    os.rename(face_take, face_take + ".moved")
    del output[:]
    cmds.file(scene_path, open=True, force=True)
    missing = [text for text, kind in output if kind == 3 and face_take in text]
    assert len(missing) == 1 and missing[0].startswith(reader + " plays nothing: its take")
    assert scenes.reload_clips() == [(reader, face_take, False)]
