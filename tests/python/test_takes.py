"""lumora.takes against phonesim: takes named, numbered, timed and confirmed, never replacing a
file, listed and loaded; a save that cannot be written says why and can be tried again."""

import os
import time

import maya.cmds as cmds
import pytest

import lumora.capture as capture
import lumora.takes as takes
from conftest import wait_until
from lumora import LumoraError


def perform(node, seconds=0.5):
    """Captures for about `seconds` once the phone's values move on the node."""
    first = cmds.getAttr(node + ".jawOpen")
    wait_until(lambda: cmds.getAttr(node + ".jawOpen") != first, "live values on " + node)
    begun = time.monotonic()
    wait_until(lambda: time.monotonic() - begun >= seconds, "the performance")


def _raise(error):
    raise error


def test_takes_are_numbered_confirmed_and_never_replace_a_file(device, output, tmp_path, monkeypatch):
    folder = tmp_path / "takes"
    made = []
    for _ in range(2):
        begun = time.monotonic()
        takes.record(device, video=True)
        perform(device)
        made.append(takes.stop_and_save(device))
        captured = time.monotonic() - begun
        # One take from start to stop, and the session ended once the clip and video were in.
        assert 0.0 < made[-1].duration <= captured + 0.2
        assert capture.status(device).code == 0
    assert [take.name for take in made] == ["shotA_take001", "shotA_take002"]
    for take in made:
        assert take.path == str(folder / (take.name + ".clip")) and os.path.isfile(take.path)
        assert take.has_video and take.video_bytes == os.path.getsize(take.video_path) > 0
        assert take.video_path == str(folder / (take.name + ".mov"))
        confirmation = "Saved take {}: {} frames, {:.2f} s, video {} ({} bytes).".format(
            take.path, take.frames, take.duration, take.video_path, take.video_bytes)
        assert (confirmation, 2) in output  # an info line
    # The second take connected again without a warning that it could not start first.
    assert not [text for text, kind in output if kind == 3]

    # Another file holds the next number: the take goes past it and leaves it as it was.
    (folder / "shotA_take003.mov").write_bytes(b"not ours")
    assert takes.next_take_path(str(folder), "shotA") == str(folder / "shotA_take004.clip")
    takes.record(device, video=False)
    perform(device)
    third = takes.stop_and_save(device)
    assert third.name == "shotA_take004" and third.video_path is None and not third.has_video
    assert (folder / "shotA_take003.mov").read_bytes() == b"not ours"

    # A folder that cannot be read says so, for listing and for numbering.
    with monkeypatch.context() as patch:
        patch.setattr(os, "listdir", lambda path: _raise(PermissionError(13, "Permission denied", path)))
        for call in (lambda: takes.list_takes(node=device), lambda: takes.next_take_path(str(folder), "shotA")):
            with pytest.raises(LumoraError, match="Cannot read the takes folder .*: Permission denied"):
                call()
    listed = takes.list_takes(node=device)
    assert [(t.name, t.frames, t.video_path, t.video_bytes) for t in listed] == [
        (t.name, t.frames, t.video_path, t.video_bytes) for t in made + [third]]
    assert [t.duration for t in listed] == pytest.approx([t.duration for t in made + [third]], abs=1e-6)
    reader = takes.load_take(made[0].path)
    assert cmds.getAttr(reader + ".clipFilepath") == made[0].path
    assert cmds.getAttr(reader + ".clipFrameCount") == made[0].frames
    assert cmds.getAttr(reader + ".clipDuration") == pytest.approx(made[0].duration, abs=1e-6)
    # A file that is no take: the reason, no empty reader made, a given reader keeps its take.
    damaged = folder / "shotA_take009.clip"
    damaged.write_bytes(b"not a clip" * 1000)
    for into in (None, reader):
        with pytest.raises(LumoraError, match="cannot be loaded: .*damaged"):
            takes.load_take(str(damaged), reader=into)
    assert cmds.ls(type="LMRAClipReader") == [reader]
    assert cmds.getAttr(reader + ".clipFilepath") == made[0].path
    assert cmds.getAttr(reader + ".clipFrameCount") == made[0].frames


def test_a_save_begun_without_waiting_is_finished_by_polling(device):
    takes.record(device, video=True)
    perform(device)
    clip = takes.begin_stop_and_save(device)
    assert clip.endswith("shotA_take001.clip") and takes.saving(device) == clip
    assert takes.begin_stop_and_save(device) == clip  # the same save, not a new take
    with pytest.raises(LumoraError, match="Record again once the last take is in"):
        takes.record(device)
    polled = []
    wait_until(lambda: polled.append(takes.finish_stop_and_save(device)) or polled[-1] is not None, "the save")
    take = polled[-1]
    assert take.path == clip and take.has_video and takes.saving(device) is None
    assert capture.status(device).code == 0  # ended once the take was in
    assert takes.finish_stop_and_save(device) == take  # another poller learns the same take


def test_a_save_that_cannot_be_written_says_why_and_keeps_the_take(device, tmp_path):
    blocker = tmp_path / "blocker"
    blocker.write_text("a file where the folder should be")
    takes.set_folder(str(blocker / "takes"), device)
    takes.record(device)
    perform(device)
    with pytest.raises(LumoraError, match="not saved: .*Cannot create output directory"):
        takes.stop_and_save(device)
    assert capture.status(device).code != 0 and capture.is_paused(device)  # still open: nothing is lost
    takes.set_folder(str(tmp_path / "takes"), device)
    take = takes.stop_and_save(device)
    assert take.name == "shotA_take001" and take.frames > 1 and not capture.is_paused(device)


def test_folder_and_shot_live_in_the_clip_path_template(scene):
    node = capture.create_device("phone")
    cmds.file(rename="/projects/show/scenes/sc010.ma")
    assert (takes.folder(node), takes.shot(node)) == ("/lumora", "sc010_phone")  # the template's default
    takes.set_shot("sc010_closeup", node)
    takes.set_folder("/projects/show/takes", node)
    assert cmds.getAttr(node + ".clipPathTemplate") == "/projects/show/takes/sc010_closeup.###"
    takes.set_folder("takes", node)  # a folder in the project
    assert takes.folder(node) == os.path.join(cmds.workspace(query=True, rootDirectory=True), "takes")
    takes.set_folder("~/takes ", node)  # as typed in a folder field
    assert takes.folder(node) == os.path.join(os.path.expanduser("~"), "takes")
    for bad in ("", "a/b", "../up", "take 1"):
        with pytest.raises(LumoraError):
            takes.set_shot(bad, node)
    with pytest.raises(LumoraError, match="not connected"):
        capture.start(node)
    with pytest.raises(LumoraError, match="port"):
        capture.connect_wifi("127.0.0.1", 70000, node=node)


def test_a_take_over_usb_keeps_its_video(scene, phone, tmp_path):
    node = capture.create_device("phone")
    assert capture.connect_usb(phone.ports["usb"], node=node) == 1
    takes.set_folder(str(tmp_path), node)
    takes.record(node, video=True)
    perform(node)
    take = takes.stop_and_save(node)
    assert take.name == "untitled_phone_take001"  # the template's default shot: <scenename>_<nodename>
    assert take.has_video and take.video_bytes == os.path.getsize(take.video_path) > 0


def test_a_take_started_elsewhere_is_saved_and_a_missing_video_is_named(device, output):
    capture.start(device, video=False)  # from MEL or another tool: the phone films nothing
    perform(device)
    cmds.setAttr(device + ".rv", True)  # a video is now wanted, which the phone cannot give
    take = takes.stop_and_save(device)
    # The node's clipLength (30 s) is more than was captured: the whole capture is the take.
    assert take.frames > 1 and take.duration < 30.0 and take.video_path is None
    warnings = [text for text, kind in output if kind == 3 and text.startswith("The take shotA_take001 has no video")]
    assert len(warnings) == 1 and "captures without video" in warnings[0]


def test_a_take_recorded_while_the_live_view_runs_starts_at_record(device):
    capture.start(device)
    perform(device, 1.0)  # the live view before the take is not part of it
    begun = time.monotonic()
    takes.record(device)
    perform(device, 0.5)
    take = takes.stop_and_save(device)
    assert 0.2 < take.duration <= time.monotonic() - begun + 0.25


def test_a_take_on_an_open_session_whose_phone_went_quiet_says_so(device, phone):
    capture.start(device)
    perform(device, 0.3)
    capture.pause(device)
    phone.stop()
    with pytest.raises(LumoraError, match=r"No frames from the phone on phone within 3 s"):
        takes.record(device)
    assert capture.is_paused(device)


def test_a_scene_change_mid_save_keeps_the_take_and_forgets_the_node(device, phone, output):
    takes.record(device, video=False)
    perform(device)
    clip = takes.begin_stop_and_save(device)
    cmds.file(new=True, force=True)
    assert any(clip + " was still being saved when the scene changed" in text for text, _ in output)
    # The take is written all the same.
    wait_until(lambda: takes.take_info(clip).get("state") not in (None, "writing"), "the save")
    assert takes.take_info(clip)["state"] == "written"
    # A node of the same name in the new scene is another node, with no save of its own.
    node = capture.create_device(device)
    assert takes.saving(node) is None
    with pytest.raises(LumoraError, match="no take being saved"):
        takes.finish_stop_and_save(node)
    assert capture.connect_wifi("127.0.0.1", phone.ports["wifi"], node=node) == 1
    assert not capture.is_paused(node)  # the closing scene's node was paused, not this one


def test_a_phone_gone_before_its_video_says_how_to_keep_the_take(device, phone):
    takes.record(device, video=True)
    perform(device)
    phone.process.kill()  # the app closed mid-take: the video it was asked for never comes
    with pytest.raises(LumoraError, match=r"is written, but its video has not come.*lumora\.capture\.stop\(\"phone\"\)"):
        takes.stop_and_save(device, timeout=1.0)
    with pytest.raises(LumoraError, match=r"Record again once the last take is in.*capture\.stop"):
        takes.record(device)
    capture.stop(device)
    take = takes.stop_and_save(device)
    assert take.name == "shotA_take001" and take.frames > 1 and not take.has_video
