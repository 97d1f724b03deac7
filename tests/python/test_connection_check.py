"""lumora.capture.check_connection: the connection check as a script calls it."""

import socket

import pytest

import lumora.capture
from lumora import LumoraError


def test_check_names_the_failing_step_and_leaves_the_node_alone(scene):
    silent = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)  # a phone that never answers
    silent.bind(("127.0.0.1", 0))
    try:
        node = scene.createNode("LMRARealTimeDevice", name="phone")
        scene.setAttr(node + ".ipAddress", "127.0.0.1", type="string")
        scene.setAttr(node + ".wifiPort", silent.getsockname()[1])
        scene.select(node)
        lines = lumora.capture.check_connection()
    finally:
        silent.close()
    steps = [line.split(":")[0] for line in lines]
    assert steps[:3] == ["Address", "Route", "Receive port"]
    assert lines[-1].startswith("Answer: failed") and "Next:" in lines[-1]
    assert scene.getAttr(node + ".connectionStatus") == 0


def test_check_wants_a_device_node(scene):
    scene.createNode("transform", name="notAPhone")
    with pytest.raises(LumoraError, match=r"^notAPhone is not a LMRARealTimeDevice \(a capture"):
        lumora.capture.check_connection("notAPhone")
    with pytest.raises(LumoraError, match=r"^No node named nope: give the name of a capture device\.$"):
        lumora.capture.check_connection("nope")
    scene.select(clear=True)
    with pytest.raises(LumoraError):
        lumora.capture.check_connection()
