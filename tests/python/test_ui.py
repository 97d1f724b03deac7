"""The Face Capture menu and the capture window, driven as a user drives them: every menu item and
button on a test QMainWindow, offscreen, against phonesim."""

import ast
import importlib
import os
import socket
import subprocess
import sys

import maya.OpenMayaUI as omui
import maya.api.OpenMaya as om
import maya.cmds as cmds
import maya.mel
import pytest

import lumora
from lumora import capture, lib, takes
from lumora.ui import channels, common, dialogs, menu, qt, state, takes_panel, window
from lumora.ui.qt import QtCore, QtGui, QtWidgets, Qt
from conftest import SOURCE_DIR

WAIT_MS = 30000  # generous: the suite runs on a loaded two-core machine


@pytest.fixture
def main_window(qtbot, scene):
    """A QMainWindow standing in for Maya's, with the plug-in loaded in a new scene."""
    main = QtWidgets.QMainWindow()
    qtbot.addWidget(main)
    main.show()
    state.mapping = None
    yield main
    lumora.ui.close()
    menu.remove(main)
    state.mapping = None


def click(qtbot, widget):
    assert widget.isEnabled(), widget.text()
    qtbot.mouseClick(widget, Qt.LeftButton)


def trigger(main, text):
    item = menu.action(text, main)
    assert item is not None, text
    item.trigger()


def test_only_the_shim_imports_qt():
    package = os.path.join(SOURCE_DIR, "python", "lumora")
    for folder, _, files in os.walk(package):
        for name in files:
            if not name.endswith(".py"):
                continue
            path = os.path.join(folder, name)
            with open(path) as source:
                tree = ast.parse(source.read(), path)
            for node in ast.walk(tree):
                modules = []
                if isinstance(node, ast.Import):
                    modules = [alias.name for alias in node.names]
                elif isinstance(node, ast.ImportFrom) and node.module:
                    modules = [node.module]
                for module in modules:
                    if module.split(".")[0] in ("PySide2", "PySide6", "shiboken2", "shiboken6", "PyQt5", "PyQt6"):
                        assert os.path.relpath(path, package) == os.path.join("ui", "qt.py"), (path, module)


def test_the_hooks_add_the_menu_only_in_an_interactive_session(main_window, monkeypatch):
    # A batch session loads the plug-in without importing Qt at all.
    code = ("import sys, maya.standalone; maya.standalone.initialize(); import maya.cmds as cmds; "
            "cmds.loadPlugin('lumoraMocap'); import lumora.lib; assert lumora.lib.initialized; "
            "print(sorted(m for m in sys.modules if m.startswith(('lumora.ui', 'PySide', 'shiboken'))))")
    ran = subprocess.run([sys.executable, "-c", code], stdout=subprocess.PIPE, universal_newlines=True, timeout=120)
    assert ran.returncode == 0 and ran.stdout.splitlines()[-1] == "[]", ran.stdout

    # Maya's main window, as MQtUtil gives it: a pointer the shim wraps.
    shiboken = importlib.import_module(qt.BINDING.replace("PySide", "shiboken"))
    pointer = shiboken.getCppPointer(main_window)[0]
    monkeypatch.setattr(omui.MQtUtil, "mainWindow", staticmethod(lambda: pointer))
    assert qt.maya_main_window() is main_window
    lib.plugin_init()  # maya.standalone is a batch session
    assert menu.find(main_window) is None

    monkeypatch.setattr(lib, "_interactive", lambda: True)
    lib.plugin_init()
    lib.plugin_init()
    menus = main_window.menuBar().findChildren(QtWidgets.QMenu, menu.OBJECT_NAME)
    assert len(menus) == 1 and menus[0].title() == "Face Capture"
    assert [item.text() for item in menus[0].actions() if not item.isSeparator()] == menu.ITEMS

    trigger(main_window, menu.CAPTURE_WINDOW)
    shown = window.current_window()
    assert shown.parentWidget() is main_window and shown.isVisible() and shown.timer.isActive()
    assert lumora.ui.show() is shown
    lib.plugin_cleanup()
    lib.plugin_cleanup()
    assert menu.find(main_window) is None
    assert window.current_window() is None and not shown.timer.isActive()
    monkeypatch.setattr(lib, "_interactive", lambda: False)
    lib.plugin_init()  # the plug-in is still loaded: its scene hooks are back, and no menu
    assert lib.initialized and menu.find(main_window) is None
    assert lumora.ui.show().parentWidget() is main_window  # from a script: on Maya's main window


def test_the_window_refreshes_only_while_shown_and_honours_suppression(main_window, qtbot):
    node = capture.create_device("dev")
    shown = window.show_window(main_window, node=node)
    assert shown.node == node and shown.timer.isActive() and shown.timer.interval() >= 100
    shown.hide()
    assert not shown.timer.isActive()
    shown.show()
    assert shown.timer.isActive()

    # The status user event reaches the window at once.
    events = shown.status_events
    om.MUserEventMessage.postUserEvent(capture.STATUS_EVENT)
    assert shown.status_events == events + 1
    assert shown.status_label.text() == "Not connected" and shown.age_label.text() == "none yet"  # no frame

    # Changes made while the plug-in rebuilds the outputs are ignored, then the table is rebuilt
    # once.
    rebuilds = shown.table_rebuilds
    lumora.suppress_on_attr_refresh = True
    try:
        cmds.setAttr(node + ".wifiPort", 35700)
        cmds.setAttr(node + ".usbPort", 35701)
        shown.refresh()
        assert shown.table_rebuilds == rebuilds
    finally:
        lumora.suppress_on_attr_refresh = False
    shown.refresh()
    shown.refresh()
    assert shown.table_rebuilds == rebuilds + 1

    # A file system error is the user's to put right, not a fault of ours with a traceback.
    assert common.error_text(PermissionError(13, "Permission denied", "/x")) == "[Errno 13] Permission denied: '/x'"

    # The plug-in's messages come through the command output.
    maya.mel.eval('print "hello from the script output\\n"')
    qtbot.waitUntil(lambda: "hello from the script output" in shown.messages.toPlainText(), timeout=WAIT_MS)

    # Settings are checked before anything is sent.
    shown.transport_combo.setCurrentIndex(window.WIFI)
    shown.address_edit.setText("127.0.0.1")
    for port in ("0", "65536", "port"):
        shown.port_edit.setText(port)
        for button in (shown.connect_button, shown.check_button):
            shown.note_label.clear()
            click(qtbot, button)
            assert "from 1 to 65535" in shown.note_label.text()
    shown.address_edit.setText(" ")
    shown.port_edit.setText("35601")
    for button in (shown.connect_button, shown.check_button):
        shown.note_label.clear()
        click(qtbot, button)
        assert "address" in shown.note_label.text()
    assert capture.status(node).code == 0 and not shown.check_view.isVisible()

    # No phone answers: the plug-in's message, the window's summary, the button back.
    with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as silent:
        silent.bind(("127.0.0.1", 0))
        shown.address_edit.setText("127.0.0.1")
        shown.port_edit.setText(str(silent.getsockname()[1]))
        click(qtbot, shown.connect_button)
        assert shown.note_label.text().startswith("Not connected") and shown.connect_button.isEnabled()
        assert "Connection timed out" in shown.messages.toPlainText()
        assert shown.status_label.text() == "Not connected"
        # Record take connects with what the fields say, as Connect does.
        cmds.setAttr(node + ".wifiPort", 35601)  # the fields still say the silent phone's port
        click(qtbot, shown.record_button)
        assert "cannot connect to the phone" in shown.note_label.text()
        assert cmds.getAttr(node + ".wifiPort") == silent.getsockname()[1] and shown.record_button.isEnabled()
        # Check connection names the step that failed and, on a line of its own, what to try.
        click(qtbot, shown.check_button)
    steps = shown.check_view.toPlainText().splitlines()
    assert shown.check_view.isVisible() and steps[0].startswith("Address ok: ")
    answer = steps.index("Answer failed: no answer within 1 s.")
    assert steps[answer + 1].strip().startswith("Next: open the app on the phone")
    assert shown.note_label.text().startswith("Connection check: Answer failed: no answer within 1 s.")
    assert shown.check_button.isEnabled() and capture.status(node).code == 0

    # The dialogs say what they need before doing anything.
    menu.install(main_window)
    trigger(main_window, menu.MAP_CHANNELS)
    mapper = dialogs.show(dialogs.MapDialog)
    assert [mapper.source_combo.itemText(i) for i in range(mapper.source_combo.count())] == [node]
    click(qtbot, mapper.map_button)
    assert "Pick a source" in mapper.result.toPlainText() and state.mapping is None
    click(qtbot, mapper.save_button)
    assert "Map the channels first" in mapper.result.toPlainText()
    trigger(main_window, menu.BAKE_TAKE)
    baker = dialogs.show(dialogs.BakeDialog)
    click(qtbot, baker.bake_button)
    assert "Load a take first" in baker.result.toPlainText()

    # The device list follows the scene: a node made elsewhere, a deleted node, a new scene.
    other = capture.create_device("other")
    click(qtbot, shown.reload_devices_button)
    assert [shown.device_combo.itemText(i) for i in range(shown.device_combo.count())] == [node, other]
    assert shown.node == node
    cmds.delete(node)
    shown.refresh()
    assert shown.node == other and "was deleted" in shown.note_label.text()
    cmds.file(new=True, force=True)
    assert shown.node is None and shown.device_combo.count() == 0 and not shown.connect_button.isEnabled()

    # Closed, it stops; shown again, it hears and refreshes again.
    shown.close()
    assert not shown.timer.isActive()
    events = shown.status_events
    om.MUserEventMessage.postUserEvent(capture.STATUS_EVENT)
    assert shown.status_events == events
    assert window.show_window() is shown and shown.timer.isActive()
    om.MUserEventMessage.postUserEvent(capture.STATUS_EVENT)
    assert shown.status_events == events + 1


def test_from_the_phone_to_a_baked_take(main_window, qtbot, phone, tmp_path, monkeypatch):
    menu.install(main_window)
    trigger(main_window, menu.CAPTURE_WINDOW)
    shown = window.current_window()
    assert shown.parentWidget() is main_window
    click(qtbot, shown.new_device_button)
    node = shown.node
    assert cmds.nodeType(node) == capture.DEVICE_TYPE

    # Connect by clicking: the button is disabled and the cursor busy while it holds Maya.
    seen = []
    connect_wifi = capture.connect_wifi

    def watched(*args, **kwargs):
        cursor = QtWidgets.QApplication.overrideCursor()
        seen.append((shown.connect_button.isEnabled(), cursor.shape() if cursor else None))
        # An impatient second click while Maya is held: dropped, not a second connect.
        for kind in (QtCore.QEvent.MouseButtonPress, QtCore.QEvent.MouseButtonRelease):
            QtWidgets.QApplication.postEvent(shown.connect_button, QtGui.QMouseEvent(
                kind, QtCore.QPointF(5, 5), Qt.LeftButton, Qt.LeftButton, Qt.NoModifier))
        return connect_wifi(*args, **kwargs)

    monkeypatch.setattr(capture, "connect_wifi", watched)
    shown.transport_combo.setCurrentIndex(window.WIFI)
    shown.address_edit.setText("127.0.0.1")
    shown.port_edit.setText(str(phone.ports["wifi"]))
    click(qtbot, shown.connect_button)
    QtWidgets.QApplication.processEvents()
    assert seen == [(False, Qt.WaitCursor)]
    assert shown.connect_button.isEnabled() and QtWidgets.QApplication.overrideCursor() is None
    assert capture.status(node).code == 1 and shown.status_label.text() == "Connected"
    assert "Connection established." in shown.messages.toPlainText()
    qtbot.waitUntil(lambda: "jawOpen" in shown.rows, timeout=WAIT_MS)
    rows = shown.rows

    # Start: values move in the table, and the health figures show.
    click(qtbot, shown.start_button)
    bar = shown.channel_table.cellWidget(rows["jawOpen"], channels.VALUE)
    values = set()
    qtbot.waitUntil(lambda: values.add(bar.text()) or len(values) >= 3, timeout=WAIT_MS)
    assert shown.status_label.text().startswith("Capturing")
    qtbot.waitUntil(lambda: float(shown.rate_label.text()) > 0, timeout=WAIT_MS)
    assert shown.age_label.text().endswith(" ms ago") and shown.dropped_label.text() == "0"
    click(qtbot, shown.pause_button)
    assert shown.status_label.text().endswith("(paused)") and not shown.pause_button.isEnabled()
    click(qtbot, shown.start_button)
    assert not shown.status_label.text().endswith("(paused)")

    # A multiplier edit reaches <channel>_mlt.
    shown.channel_table.item(rows["jawOpen"], channels.MULTIPLIER).setText("0.5")
    assert cmds.getAttr(node + ".jawOpen_mlt") == 0.5
    for bad in ("half", "nan", "inf"):
        shown.channel_table.item(rows["jawOpen"], channels.MULTIPLIER).setText(bad)
        assert cmds.getAttr(node + ".jawOpen_mlt") == 0.5 and "is not" in shown.note_label.text()
    assert shown.channel_table.item(rows["jawOpen"], channels.MULTIPLIER).text() == "0.500"
    shown.filter_edit.setText("blink left")
    assert not shown.channel_table.isRowHidden(rows["eyeBlinkLeft"])
    assert shown.channel_table.isRowHidden(rows["jawOpen"])
    shown.filter_edit.clear()

    # Record take, then Stop and save: <shot>_take001.clip and its video, listed.
    monkeypatch.setattr(dialogs, "ask_folder", lambda *args: str(tmp_path / "takes"))
    click(qtbot, shown.browse_button)
    assert shown.folder_edit.text() == str(tmp_path / "takes")
    shown.shot_edit.setText("shot A!")  # refused: the field shows the shot the takes go to
    shown.shot_edit.editingFinished.emit()
    assert "cannot name a shot" in shown.note_label.text() and shown.shot_edit.text() == takes.shot(node)
    shown.shot_edit.setText("shotA")
    shown.shot_edit.editingFinished.emit()
    shown.video_check.setChecked(True)
    click(qtbot, shown.record_button)
    assert not shown.record_button.isEnabled() and shown.save_button.isEnabled()
    # The take ends with Stop and save: nothing else may end its session and lose it.
    assert not any(button.isEnabled() for button in (shown.stop_button, shown.disconnect_button,
                                                     shown.connect_button))
    values.clear()
    qtbot.waitUntil(lambda: values.add(bar.text()) or len(values) >= 10, timeout=WAIT_MS)
    # Stop and save returns at once: the window names the take it saves, keeps both buttons off,
    # and lists the take once its refresh sees the save end. The outcome is held back here so
    # that the window is seen waiting, through a long wait and a new window.
    held = [True]
    finish = takes.finish_stop_and_save
    monkeypatch.setattr(takes, "finish_stop_and_save", lambda node=None: None if held[0] else finish(node))
    monkeypatch.setattr(takes_panel, "LONG_SAVE_SECONDS", 0.0)
    click(qtbot, shown.save_button)
    clip = tmp_path / "takes" / "shotA_take001.clip"
    assert "Saving the take shotA_take001" in shown.note_label.text()
    assert not shown.save_button.isEnabled() and not shown.record_button.isEnabled()
    assert shown.take_list.topLevelItemCount() == 0
    # Nothing may end or restart the session before the video is in.
    capture_buttons = [shown.start_button, shown.pause_button, shown.stop_button, shown.connect_button,
                       shown.disconnect_button]
    assert not any(button.isEnabled() for button in capture_buttons)
    qtbot.waitUntil(lambda: "Still waiting for the video of shotA_take001" in shown.note_label.text(),
                    timeout=WAIT_MS)
    qtbot.waitUntil(lambda: takes.take_info(str(clip)).get("state") == "written"
                    and takes.take_info(str(clip)).get("videoState") != "waiting", timeout=WAIT_MS)
    # The save is the plug-in's: a window closed meanwhile loses nothing, and a new one takes the
    # save up.
    lumora.ui.close()
    trigger(main_window, menu.CAPTURE_WINDOW)
    closed, shown = shown, window.current_window()
    assert shown is not closed and shown.node == node
    assert "Saving the take shotA_take001" in shown.messages.toPlainText()
    assert not shown.save_button.isEnabled() and not shown.record_button.isEnabled()
    held[0] = False
    qtbot.waitUntil(lambda: shown.note_label.text().startswith("Saved shotA_take001: "), timeout=WAIT_MS)
    assert clip.is_file() and clip.with_suffix(".mov").is_file()
    assert [shown.take_list.topLevelItem(i).text(0) for i in range(shown.take_list.topLevelItemCount())] == [
        "shotA_take001"]
    assert shown.take_list.currentItem().text(3) == "yes"
    assert not shown.save_button.isEnabled() and shown.record_button.isEnabled()
    assert shown.start_button.isEnabled() and shown.connect_button.isEnabled()

    # Load makes a clip reader.
    click(qtbot, shown.load_button)
    reader = shown.take_list.currentItem().text(4)
    assert cmds.nodeType(reader) == "LMRAClipReader"

    # Map onto a blendShape from the menu, then Bake: keys on the mapped targets.
    cmds.createNode("blendShape", n="face")
    cmds.aliasAttr("jawOpen", "face.weight[0]")
    cmds.aliasAttr("eyeBlink_L", "face.weight[1]")
    cmds.aliasAttr("grin", "face.weight[2]")
    cmds.aliasAttr("browInnerUp", "face.weight[3]")
    click(qtbot, shown.bake_button)  # nothing mapped yet: says what to do
    assert "Map the channels" in shown.note_label.text()
    trigger(main_window, menu.MAP_CHANNELS)
    mapper = dialogs.show(dialogs.MapDialog)
    mapper.source_combo.setCurrentText(node)
    cmds.select("face")
    click(qtbot, mapper.selection_button)
    mapper.overrides_edit.setPlainText("grin mouthSmileLeft")
    click(qtbot, mapper.map_button)
    assert state.mapping is None and "target = channel" in mapper.result.toPlainText()
    mapper.overrides_edit.setPlainText("grin = mouthSmileLeft\nbrowInnerUp = -")
    click(qtbot, mapper.map_button)
    report = mapper.result.toPlainText()
    assert state.mapping is not None
    assert "eyeBlinkLeft -> face.eyeBlink_L (left/right spelling)" in report
    assert "mouthSmileLeft -> face.grin (override)" in report
    assert "browInnerUp" in report and "left out by the overrides" in report
    saved = str(tmp_path / "face.json")
    monkeypatch.setattr(dialogs, "ask_save_file", lambda *args: saved)
    click(qtbot, mapper.save_button)
    monkeypatch.setattr(dialogs, "ask_open_file", lambda *args: saved)
    state.mapping = None
    click(qtbot, mapper.load_button)
    assert state.mapping is not None and "Loaded" in mapper.result.toPlainText()
    shown.remove_reader_check.setChecked(True)
    click(qtbot, shown.bake_button)
    assert cmds.keyframe("face.jawOpen", q=True, kc=True) > 1
    assert cmds.keyframe("face.eyeBlink_L", q=True, kc=True) > 1
    assert not cmds.objExists(reader) and shown.take_list.currentItem().text(4) == ""

    # The menu's Load Take and Bake Take to Keys, with the file chooser answered.
    monkeypatch.setattr(dialogs, "ask_open_file", lambda *args: str(clip))
    trigger(main_window, menu.LOAD_TAKE)
    loaded = cmds.ls(selection=True)[0]
    assert cmds.nodeType(loaded) == "LMRAClipReader"
    trigger(main_window, menu.BAKE_TAKE)
    baker = dialogs.show(dialogs.BakeDialog)
    click(qtbot, baker.load_button)
    third = baker.reader_combo.currentText()
    assert third != loaded
    baker.remove_check.setChecked(True)
    click(qtbot, baker.bake_button)
    assert "Baked" in baker.result.toPlainText() and not cmds.objExists(third)

    trigger(main_window, menu.HELP)
    helper = dialogs.show(dialogs.HelpDialog)
    assert "Record take" in helper.text.toPlainText() and "Check connection" in helper.text.toPlainText()
    click(qtbot, helper.close_button)
    assert not helper.isVisible()

    # Stop and save ended the session; closing stops the refreshes.
    assert capture.status(node).code == 0 and shown.status_label.text() == "Not connected"
    shown.close()
    assert not shown.timer.isActive()


def test_two_devices_over_usb_check_stop_and_disconnect(main_window, qtbot, phone, monkeypatch):
    shown = window.show_window(main_window)
    seen = []
    check_connection = capture.check_connection

    def watched(*args, **kwargs):
        cursor = QtWidgets.QApplication.overrideCursor()
        seen.append((shown.check_button.isEnabled(), shown.connect_button.isEnabled(),
                     cursor.shape() if cursor else None))
        return check_connection(*args, **kwargs)

    monkeypatch.setattr(capture, "check_connection", watched)
    for end in (shown.stop_button, shown.disconnect_button):
        click(qtbot, shown.new_device_button)
        assert not shown.check_view.isVisible()  # a new node has had no check yet
        shown.transport_combo.setCurrentIndex(window.USB)
        assert not shown.address_edit.isEnabled() and shown.port_edit.text() == "35602"
        shown.port_edit.setText(str(phone.ports["usb"]))
        # The check runs with what the fields say, holding Maya as Connect does.
        click(qtbot, shown.check_button)
        assert seen[-1] == (False, False, Qt.WaitCursor) and shown.check_button.isEnabled()
        assert shown.note_label.text() == "Connection check over USB: every step ok."
        assert shown.check_view.toPlainText().splitlines()[0].startswith("usbmuxd ok: usbmuxd answers at UNIX:")
        assert cmds.getAttr(shown.node + ".usbPort") == phone.ports["usb"]
        assert capture.status(shown.node).code == 0 and shown.status_label.text() == "Not connected"
        click(qtbot, shown.connect_button)
        assert shown.status_label.text() == "Connected" and cmds.getAttr(shown.node + ".connectionType") == 1
        assert "jawOpen" in shown.rows
        click(qtbot, shown.start_button)
        qtbot.waitUntil(lambda: shown.status_label.text() == "Capturing", timeout=WAIT_MS)  # frames arrive
        click(qtbot, shown.check_button)  # connected: the check leaves the session alone
        assert shown.check_view.toPlainText().startswith("Session ok: ") and capture.status(shown.node).code == 2
        click(qtbot, end)
        assert shown.status_label.text() == "Not connected"
    assert shown.device_combo.count() == 2


def test_a_phone_gone_mid_save_is_ended_with_stop(main_window, qtbot, phone, tmp_path, monkeypatch):
    """The phone closes before it sends the take's video: after the long wait, Stop keeps the take
    without its video instead of leaving the window waiting for ever."""
    shown = window.show_window(main_window)
    click(qtbot, shown.new_device_button)
    shown.transport_combo.setCurrentIndex(window.WIFI)
    shown.address_edit.setText("127.0.0.1")
    shown.port_edit.setText(str(phone.ports["wifi"]))
    shown.folder_edit.setText(str(tmp_path / "takes"))
    shown.folder_edit.editingFinished.emit()
    shown.video_check.setChecked(True)
    click(qtbot, shown.record_button)
    qtbot.waitUntil(lambda: float(shown.rate_label.text() or 0) > 0, timeout=WAIT_MS)
    phone.process.kill()
    monkeypatch.setattr(takes_panel, "LONG_SAVE_SECONDS", 0.0)
    click(qtbot, shown.save_button)
    assert not shown.stop_button.isEnabled()  # not before the wait has been long
    qtbot.waitUntil(lambda: "press Stop to keep the take without its video" in shown.note_label.text(),
                    timeout=WAIT_MS)
    assert shown.stop_button.isEnabled() and not shown.record_button.isEnabled()
    click(qtbot, shown.stop_button)
    qtbot.waitUntil(lambda: shown.note_label.text().startswith("Saved "), timeout=WAIT_MS)
    assert shown.note_label.text().endswith("without video.")
    assert shown.take_list.topLevelItemCount() == 1 and shown.record_button.isEnabled()
