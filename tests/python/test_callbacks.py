"""Callbacks in maya.api.OpenMaya fire when the host does what Maya fires them for."""

import threading

import maya.api.OpenMaya as om
import maya.cmds as cmds
import maya.mel
import maya.utils
import pytest


@pytest.fixture
def callbacks():
    """Ids to remove after the test."""
    ids = []
    yield ids
    for callback in ids:
        om.MMessage.removeCallback(callback)


def test_user_events(callbacks):
    om.MUserEventMessage.registerUserEvent("testEvent")
    try:
        seen = []
        callbacks.append(om.MUserEventMessage.addUserEventCallback("testEvent", seen.append, "data"))
        om.MUserEventMessage.postUserEvent("testEvent")
        assert seen == ["data"]
        om.MMessage.removeCallback(callbacks.pop())
        om.MUserEventMessage.postUserEvent("testEvent")
        assert seen == ["data"]
    finally:
        om.MUserEventMessage.deregisterUserEvent("testEvent")
    with pytest.raises(RuntimeError):
        om.MMessage.removeCallback(123456789)


def test_scene_messages(scene, callbacks, tmp_path):
    seen = []
    cmds.createNode("transform", n="old")
    callbacks.append(om.MSceneMessage.addCallback(om.MSceneMessage.kBeforeNew,
                                                  lambda data: seen.append(("beforeNew", cmds.ls("old")))))
    callbacks.append(om.MSceneMessage.addCallback(om.MSceneMessage.kAfterOpen,
                                                  lambda data: seen.append(("afterOpen", cmds.ls("kept")))))
    path = str(tmp_path / "scene.ma")
    cmds.file(rename=path)
    cmds.createNode("transform", n="kept")
    cmds.file(save=True)
    cmds.file(new=True, force=True)  # the old scene is still there when kBeforeNew fires
    cmds.file(path, open=True, force=True)
    assert seen == [("beforeNew", ["old"]), ("afterOpen", ["kept"])]


def test_attribute_changes(scene, callbacks):
    cmds.createNode("transform", n="a")
    cmds.createNode("transform", n="b")
    node = om.MSelectionList().add("b").getDependNode(0)
    assert om.MFnDependencyNode(node).name() == "b"
    seen = []

    def changed(msg, plug, other, data):
        seen.append((msg & ~om.MNodeMessage.kIncomingDirection, plug.name(), other.name() if not other.isNull() else None,
                     cmds.getAttr(plug.name()) if msg & om.MNodeMessage.kAttributeSet else None))

    callbacks.append(om.MNodeMessage.addAttributeChangedCallback(node, changed))
    cmds.setAttr("a.tx", 1)  # another node: not reported
    cmds.setAttr("b.tx", 2)
    cmds.connectAttr("a.tx", "b.ty")
    cmds.disconnectAttr("a.tx", "b.ty")
    assert seen == [
        (om.MNodeMessage.kAttributeSet, "b.translateX", None, 2.0),
        (om.MNodeMessage.kConnectionMade, "b.translateY", "a.translateX", None),
        (om.MNodeMessage.kConnectionBroken, "b.translateY", "a.translateX", None),
    ]


def test_command_output_and_a_failing_callback(scene, callbacks, output):
    om.MUserEventMessage.registerUserEvent("failingEvent")
    try:
        failing = om.MUserEventMessage.addUserEventCallback("failingEvent", lambda data: 1 / 0)
        om.MUserEventMessage.postUserEvent("failingEvent")  # the host goes on
        om.MMessage.removeCallback(failing)
    finally:
        om.MUserEventMessage.deregisterUserEvent("failingEvent")
    errors = [text for text, kind in output if kind == om.MCommandMessage.kError]
    assert errors[-1] == "# Error: ZeroDivisionError: division by zero"
    maya.mel.eval('print "hello\\n"')
    assert ("hello", om.MCommandMessage.kInfo) in output
    with pytest.raises(RuntimeError):
        maya.mel.eval("getAttr ghost.tx")
    assert ("No object matches name: ghost.tx", om.MCommandMessage.kError) in output


def test_deferred_calls_wait_for_idle_events():
    # One idle queue: Python's deferred calls, MEL's evalDeferred and a worker thread's call run
    # in the order they were posted, at the next round; what a round posts waits for the next.
    seen = []
    maya.utils.executeDeferred(lambda: (seen.append(1), maya.utils.executeDeferred(seen.append, 2)))
    cmds.evalDeferred('python("seen_by_mel = True")')
    poster = threading.Thread(target=maya.utils.executeDeferred, args=(seen.append, "thread"))
    poster.start()
    poster.join()
    maya.utils.executeDeferred("import sys")
    assert seen == []
    maya.utils.processIdleEvents()
    assert seen == [1, "thread"] and __import__("__main__").seen_by_mel
    maya.utils.processIdleEvents()
    assert seen == [1, "thread", 2]


def test_commands_from_another_thread_are_refused_and_counted(scene):
    import _mayahost

    failures = []

    def work():
        for call in (lambda: cmds.createNode("transform"), lambda: maya.mel.eval("ls")):
            try:
                call()
            except RuntimeError as error:
                failures.append(str(error))

    worker = threading.Thread(target=work)
    worker.start()
    worker.join()
    assert len(failures) == 2 and "maya.utils.executeDeferred" in failures[0]
    assert _mayahost.wrong_thread_call_count() == 2
    assert cmds.ls(type="transform") == []
    _mayahost.clear_wrong_thread_calls()  # counted as they should be
