"""Takes: recorded from start to stop, named <shot>_take<NNN> in a takes folder, saved with their
video, confirmed, listed and loaded into a clip reader.

The takes folder and the shot name are kept in the device node's clipPathTemplate
("<folder>/<shot>.###"), so a saved scene keeps them; "<scenename>" and "<nodename>" in it stand
for the scene file's name and the node's, and a relative folder lies in the project (the
workspace's root folder).
"""

import collections
import os
import re
import time

import maya.cmds as cmds

from lumora import LumoraError
from lumora import _maya
from lumora import capture

READER_TYPE = "LMRAClipReader"
CLIP_EXTENSION = ".clip"
VIDEO_EXTENSION = ".mov"
# A take length longer than any recording (an hour at 60 frames a second): the save keeps all of it.
WHOLE_RECORDING = 86400.0
# The query command that says what became of a save, or what a clip file holds.
TAKE_INFO_COMMAND = "mocapTakeInfo"
# How long record() waits on Maya's main thread for the first frame after "start" when it joins a
# session that was already open: as long as a connect over USB waits for the phone's answer.
FIRST_FRAME_SECONDS = 3.0


class Take(collections.namedtuple("Take", "path name frames duration video_path video_bytes")):
    """A saved take: its clip, frames and duration (seconds), and its video (None when absent)."""

    __slots__ = ()

    @property
    def has_video(self):
        return bool(self.video_path) and bool(self.video_bytes)


# Takes being recorded, by device node: where capture began.
_recordings = {}
# Clip paths handed out in this session and not saved yet, so two devices never get one name.
_reserved = set()
# The last take saved, by device node, until its next record(): a second finish_stop_and_save
# (another poller) gets it too.
_saved = {}


def _scene_name():
    scene = cmds.file(query=True, sceneName=True) or ""
    return os.path.splitext(os.path.basename(scene))[0] or "untitled"


def _template(node):
    return cmds.getAttr(node + ".clipPathTemplate") or ""


def _expanded_template(node):
    text = _template(node).replace("<scenename>", _scene_name()).replace("<nodename>", node)
    folder, name = os.path.split(text)
    # The trailing ".###" (a take number in the template's own notation) or an extension goes.
    name = re.sub(r"\.#+$", "", name)
    name = os.path.splitext(name)[0] if name.endswith(CLIP_EXTENSION) else name
    if not os.path.isabs(folder):  # a folder in the project, as Maya's file paths are
        folder = os.path.normpath(os.path.join(cmds.workspace(query=True, rootDirectory=True) or "", folder))
    return folder, name


def folder(node=None):
    """The takes folder of the device node."""
    return _expanded_template(capture.device(node))[0]


def shot(node=None):
    """The shot name of the device node: takes are called <shot>_take001, _take002, ..."""
    return _expanded_template(capture.device(node))[1]


def _set_template(node, folder_path, shot_name):
    cmds.setAttr(node + ".clipPathTemplate", folder_path.rstrip("/\\") + "/" + shot_name + ".###", type="string")


def set_folder(path, node=None):
    """Sets the takes folder ("~" stands for the user's home folder; a relative folder lies in the
    project)."""
    node = capture.device(node)
    if not isinstance(path, str) or not path.strip():
        raise LumoraError("Give a folder for the takes.")
    path = os.path.expanduser(path.strip())
    if os.path.exists(path) and not os.path.isdir(path):
        raise LumoraError("{} is a file, not a folder: give a folder for the takes.".format(path))
    _set_template(node, path.strip(), _template_shot(node))


def _template_shot(node):
    name = os.path.split(_template(node))[1]
    return re.sub(r"\.#+$", "", name)


def _template_folder(node):
    return os.path.split(_template(node))[0]


_SHOT_NAME = re.compile(r"^[A-Za-z0-9_][A-Za-z0-9_.-]*$")


def set_shot(name, node=None):
    node = capture.device(node)
    if not isinstance(name, str) or not _SHOT_NAME.match(name) or name.endswith("."):
        raise LumoraError("{!r} cannot name a shot: use letters, digits, '_', '-' and '.'.".format(name))
    _set_template(node, _template_folder(node), name)


def video_path_of(clip_path):
    """The video beside a take's clip."""
    return os.path.splitext(clip_path)[0] + VIDEO_EXTENSION


def _take_pattern(shot_name):
    return re.compile(r"^" + re.escape(shot_name) + r"_take(\d+)(\.[^.]*)?$")


def _entries(folder_path):
    """The names in the takes folder; a folder that cannot be read raises LumoraError."""
    try:
        return os.listdir(folder_path)
    except OSError as error:
        raise LumoraError("Cannot read the takes folder {}: {}: pick a folder you can write to.".format(
            folder_path, error.strerror or error))


def next_take_path(folder_path, shot_name):
    """The clip path of the shot's next take, <folder>/<shot>_take<NNN>.clip, numbered after every
    take of the shot already in the folder (clip, video or any other file of that name), so that no
    file is ever replaced."""
    pattern = _take_pattern(shot_name)
    highest = 0
    if os.path.isdir(folder_path):
        for entry in _entries(folder_path):
            found = pattern.match(entry)
            if found:
                highest = max(highest, int(found.group(1)))
    for path in _reserved:
        found = pattern.match(os.path.basename(path))
        if found and os.path.dirname(path) == folder_path:
            highest = max(highest, int(found.group(1)))
    number = highest + 1
    while True:
        clip = os.path.join(folder_path, "{}_take{:03d}{}".format(shot_name, number, CLIP_EXTENSION))
        if not os.path.exists(clip) and not os.path.exists(video_path_of(clip)) and clip not in _reserved:
            return clip
        number += 1


def _last_frame_time(node):
    return _maya.attr_or_none(node, "lastFrameTime")


def record(node=None, video=None):
    """Starts a take: connects the node again if its session has ended, and starts capture (with
    video when video is True, or as the node's recordVideo says when it is None). The take runs
    until stop_and_save."""
    node = capture.device(node)
    pending = _recordings.get(node, {}).get("pending")
    if pending:
        raise LumoraError("Record again once the last take is in. " + _still_saving(node, pending, "yet"))
    _saved.pop(node, None)
    before = _last_frame_time(node)
    # A session whose recording is empty records this take alone: it is saved whole.
    fresh = _maya.attr_or_none(node, "framesReceived") == 0
    if video is not None:
        cmds.setAttr(node + ".rv", bool(video))
    if capture.status(node).code == 0:  # the last take ended the session: no start to try first
        _reconnect(node)
        fresh = True
    try:
        capture.start(node)
    except LumoraError:  # the session ended without the status showing it yet
        _reconnect(node)
        capture.start(node)
        fresh = True
    wall_start = time.monotonic()
    start_time = None
    if before is not None and not fresh:
        # The take starts with the first frame that arrives after "start".
        # A phone streams within a frame or two of "start": waiting longer only holds Maya for a
        # phone that has gone quiet.
        try:
            start_time = _maya.wait_for(lambda: _changed(_last_frame_time(node), before),
                                        FIRST_FRAME_SECONDS, "the first frame from the phone")[0]
        except LumoraError:
            capture.pause(node)
            raise LumoraError("No frames from the phone on {} within {:g} s: check that the app is "
                              "streaming, then record again.".format(node, FIRST_FRAME_SECONDS))
    _recordings[node] = {"start_time": start_time, "wall_start": wall_start, "fresh": fresh,
                         "video": bool(cmds.getAttr(node + ".rv"))}


def _reconnect(node):
    if not cmds.establishConnection(node):
        raise LumoraError("{} cannot connect to the phone: see the Script Editor for why, or run "
                          "lumora.capture.check_connection().".format(node))


def _changed(value, before):
    return (value,) if value is not None and value != before else None


def take_info(path):
    """What is known about the take at path: from a save of this session (its state and outcome)
    or else from the clip file. A dict: state ("writing", "written", "failed", "file", "unreadable",
    "missing"), frames, duration, video, videoState, videoBytes, reason."""
    words = cmds.mocapTakeInfo(path) or []
    info = dict(zip(words[0::2], words[1::2]))
    for key in ("frames", "videoBytes"):
        if info.get(key):
            info[key] = int(info[key])
    if info.get("duration"):
        info["duration"] = float(info["duration"])
    return info


def _save_finished(info):
    return info.get("state") not in ("writing", None) and info.get("videoState") not in ("waiting",)


def stop_and_save(node=None, timeout=30.0):
    """Ends the take that record() started: saves it from its first frame to the last as the next
    <shot>_take<NNN> with its video, keeps the session open until the clip and the video are
    written, then ends the session and confirms the take. Returns the Take.

    It holds the calling thread (serving Maya's idle queue) until the save has ended; a window
    that must stay live uses begin_stop_and_save and polls finish_stop_and_save instead.

    Raises LumoraError with the reason when the take could not be saved; the session then stays
    open (paused), so that the take can be saved again once the reason is put right. When the
    save is still running after timeout seconds (a long video), the error says so and a second
    call waits for that same save."""
    node = capture.device(node)
    clip = begin_stop_and_save(node)
    try:
        info = _maya.wait_for(lambda: _finished_info(clip), timeout, "the take " + clip)
    except LumoraError:
        raise LumoraError(_still_saving(node, clip, "after {:g} s".format(timeout)))
    return _end_save(node, clip, info)


def _still_saving(node, clip, when):
    """What to do about a save that has not ended: once the clip is written only the video is
    awaited, and a phone that has gone away never sends it, so the way out is said too."""
    if take_info(clip).get("state") != "written":
        return "The take {} is still being saved {}: run stop_and_save again to wait for it.".format(clip, when)
    return ("The take {} is written, but its video has not come from the phone {}: run stop_and_save again "
            "to wait for it, or, if the phone has gone (the app closed, the cable pulled), run "
            "lumora.capture.stop(\"{}\") to end the session and keep the take without its video, then "
            "stop_and_save.".format(clip, when, node))


def begin_stop_and_save(node=None):
    """Ends the take that record() started and starts saving it as the next <shot>_take<NNN>
    with its video, without waiting for the save: returns the clip path being written. Poll
    finish_stop_and_save for the outcome. While a save of the node is running, returns its path
    again (it does not save a new take). Raises LumoraError when the save cannot start."""
    node = capture.device(node)
    started = _recordings.setdefault(node, {"start_time": None, "wall_start": None,
                                            "video": bool(cmds.getAttr(node + ".rv"))})
    clip = started.get("pending")
    if clip is None:
        if not capture.pause(node):  # the take ends here
            _recordings.pop(node, None)
            raise LumoraError("{} has no session open: record() a take first.".format(node))
        if "length" not in started:
            started["length"] = _take_length(node, started)  # kept for a second try
        clip = _start_save(node, started)
    _saved.pop(node, None)
    return clip


def finish_stop_and_save(node=None):
    """The outcome of the save begin_stop_and_save started, without waiting: None while it runs;
    once it has ended, what stop_and_save does after its wait: ends the session, confirms the
    take and returns the Take (and the same Take again until the next record()), or raises
    LumoraError with the reason (the session stays open, paused: begin the save again once the
    reason is put right)."""
    node = capture.device(node)
    clip = saving(node)
    if clip is None:
        if node in _saved:
            return _saved[node]
        raise LumoraError("{} has no take being saved: record() a take, then stop and save it.".format(node))
    info = _finished_info(clip)
    if info is None:
        return None
    return _end_save(node, clip, info)


def forget_scene_nodes():
    """The scene is about to change (new or open): the device nodes this module keeps records of
    go with it, and a node of the same name later is another node. A save still running goes on in
    the plug-in and its name stays reserved; take_info(path) gives its outcome."""
    for started in _recordings.values():
        pending = started.get("pending")
        if pending:
            _maya.info("The take {} was still being saved when the scene changed: it is written in the "
                       "background, and lumora.takes.take_info(\"{}\") gives its outcome.".format(pending, pending))
    _recordings.clear()
    _saved.clear()


def saving(node=None):
    """The clip path of the node's take being saved (begun and not yet finished), or None."""
    return _recordings.get(capture.device(node), {}).get("pending")


def _end_save(node, clip, info):
    """What follows a save that has ended: the error with its reason, or the session ended and
    the take confirmed."""
    started = _recordings.get(node, {})
    started.pop("pending", None)
    _reserved.discard(clip)
    if info["state"] != "written":
        raise LumoraError("The take {} was not saved: {} The session stays open: run stop_and_save again.".format(
            clip, info.get("reason") or "unknown reason."))
    _recordings.pop(node, None)
    capture.stop(node)
    take = _take_from_info(clip, info)
    _confirm(take, info)
    _saved[node] = take
    return take


def _start_save(node, started):
    """Starts saving the take as the shot's next number; returns its clip path."""
    folder_path, shot_name = _expanded_template(node)
    clip = next_take_path(folder_path, shot_name)
    _reserved.add(clip)  # until the save has ended: its files appear only then
    video = video_path_of(clip) if started["video"] else ""
    arguments = [node, clip, repr(started["length"])] + ([video] if video else [])
    try:
        _maya.command_errors(cmds.saveMocapData, *arguments)
    except LumoraError as error:
        _reserved.discard(clip)
        raise LumoraError("The take was not saved: {} Put that right and run stop_and_save again: the "
                          "session stays open.".format(error))
    started["pending"] = clip
    return clip


def _finished_info(clip):
    info = take_info(clip)
    return info if _save_finished(info) else None


def _take_length(node, started):
    """Seconds from the take's first frame to its last."""
    if started.get("fresh"):
        return WHOLE_RECORDING
    if started["start_time"] is not None:
        end_time = _settled_last_frame_time(node)
        if end_time is not None and end_time > started["start_time"]:
            return end_time - started["start_time"]
    if started["wall_start"] is not None:
        return max(time.monotonic() - started["wall_start"], 0.001)
    # A take started elsewhere (MEL, another tool): the node's clip length.
    return float(cmds.getAttr(node + ".clipLength"))


def _settled_last_frame_time(node, settle=0.1, timeout=2.0):
    """The newest frame's time once it has held still for settle seconds (after a pause the node
    may still show a frame or two that were on their way)."""
    last = _last_frame_time(node)
    steady_since = time.monotonic()
    deadline = steady_since + timeout
    while time.monotonic() < deadline:
        _maya.serve_idle()
        time.sleep(_maya.POLL_SECONDS)
        now = _last_frame_time(node)
        if now != last:
            last, steady_since = now, time.monotonic()
        elif time.monotonic() - steady_since >= settle:
            break
    return last


def _take_from_info(clip, info):
    video = info.get("video") or None
    video_bytes = info.get("videoBytes") or 0
    if video and not os.path.isfile(video):
        video, video_bytes = None, 0
    name = os.path.splitext(os.path.basename(clip))[0]
    return Take(clip, name, info.get("frames", 0), info.get("duration", 0.0), video, video_bytes)


def _confirm(take, info):
    text = "Saved take {}: {} frames, {:.2f} s".format(take.path, take.frames, take.duration)
    if take.has_video:
        _maya.info(text + ", video {} ({} bytes).".format(take.video_path, take.video_bytes))
    elif info.get("video"):
        _maya.info(text + ".")
        _maya.warning("The take {} has no video: {}".format(take.name, info.get("reason") or "the phone sent none."))
    else:
        _maya.info(text + ", no video.")


def list_takes(folder=None, shot=None, node=None):
    """The takes of a shot in a folder (the node's when not given), by number: frames and duration
    from each clip, and whether its video is there."""
    if folder is None or shot is None:
        node_folder, node_shot = _expanded_template(capture.device(node))
        folder = node_folder if folder is None else folder
        shot = node_shot if shot is None else shot
    if not os.path.isdir(folder):
        return []
    pattern = _take_pattern(shot)
    numbered = []
    for entry in _entries(folder):
        found = pattern.match(entry)
        if found and entry.endswith(CLIP_EXTENSION):
            numbered.append((int(found.group(1)), os.path.join(folder, entry)))
    takes = []
    for _, path in sorted(numbered):
        info = take_info(path)
        video = video_path_of(path)
        has_video = os.path.isfile(video)
        takes.append(Take(path, os.path.splitext(os.path.basename(path))[0], info.get("frames", 0),
                          info.get("duration", 0.0), video if has_video else None,
                          os.path.getsize(video) if has_video else 0))
    return takes


def load_take(path, reader=None):
    """Loads the take at path into a clip reader (a new one, named after the take, when reader is
    None) that plays on the time line, and returns the reader. A take that does not load raises
    LumoraError with the reason, leaves a given reader with the take it had and makes no reader."""
    if not os.path.isfile(path):
        raise LumoraError("There is no take at {}: give the path of a clip file.".format(path))
    made = reader is None
    if made:
        name = re.sub(r"[^A-Za-z0-9_]", "_", os.path.splitext(os.path.basename(path))[0])
        reader = cmds.createNode(READER_TYPE, name=("" if name[:1].isalpha() else "take_") + name + "_reader")
    else:
        reader = _maya.node_of_type(reader, READER_TYPE, "a clip reader")
    loaded, errors = _maya.command_output(cmds.loadClipFromFile, reader, path)
    if not loaded:
        if made:
            cmds.delete(reader)  # a failed load leaves no empty reader behind
        raise LumoraError("{} cannot be loaded: {}".format(path, " ".join(errors) or "see the Script Editor for why."))
    if not cmds.listConnections(reader + ".time", source=True, destination=False):
        cmds.connectAttr("time1.outTime", reader + ".time")
    cmds.setAttr(reader + ".clipFilepath", path, type="string")
    return reader
