"""The capture window: a device, its connection, its status and health, capture, takes, the live
channels with their multipliers, and the plug-in's messages, in one window.

Everything it does goes through the lumora API on Maya's main thread. While it is shown, a timer
refreshes it ten times a second at most; hidden or closed, it does no work. Where no Maya main
window runs an event loop of Maya's own (maya.standalone, the headless host), the same timer
serves Maya's idle events, which keep the device node's outputs live.
"""

import collections
import contextlib
import html
import weakref

import maya.api.OpenMaya as om
import maya.cmds as cmds
import maya.utils

import lumora
from lumora import capture
from lumora.ui import channels, common, qt, takes_panel
from lumora.ui.qt import QtCore, QtWidgets, Qt

REFRESH_MS = 100  # ten refreshes a second at most
MESSAGE_LINES = 2000  # kept in the messages pane
MESSAGE_BACKLOG = 500  # lines kept while the window is hidden
WIFI, USB = 0, 1

# The status light per connection status code: not connected, connected, capturing, capturing
# with video; a capture that is paused or receives no frames shows amber.
LIGHT_COLOURS = {0: "#777777", 1: "#d8b000", 2: "#2fb344", 3: "#e03c31"}
PAUSED_COLOUR = "#e08a00"


_window = None


def show_window(parent=None, node=None):
    """Shows the capture window (one per session), parented to Maya's main window or to parent;
    node picks a device node. Returns the window."""
    global _window
    if _window is None or not qt.is_alive(_window):
        _window = CaptureWindow(parent if parent is not None else qt.maya_main_window(), node=node)
    elif node:
        _window.select_device(node)
    _window.show()
    _window.raise_()
    _window.activateWindow()
    return _window


def close_window():
    """Closes the capture window, if any, and forgets it."""
    global _window
    window, _window = _window, None
    if window is not None and qt.is_alive(window):
        window.close()
        window.deleteLater()


def current_window():
    """The capture window if it exists, else None."""
    return _window if _window is not None and qt.is_alive(_window) else None


class CaptureWindow(QtWidgets.QWidget):
    """The capture window. Public attributes name the widgets that tests and scripts drive."""

    OBJECT_NAME = "lumoraCaptureWindow"

    def __init__(self, parent=None, node=None):
        super(CaptureWindow, self).__init__(parent)
        self.setWindowFlags(Qt.Window)
        self.setObjectName(self.OBJECT_NAME)
        self.setWindowTitle("Face Capture")
        self.node = None
        self.ticks = 0  # refreshes run, for the curious and for tests
        self.status_events = 0
        self._rebuild_pending = False
        self._refreshing = False
        self._refresh_error = None
        self._light = ""  # the colour the status light shows (restyling repolishes the widget)
        self._holding = False  # while a connect, a check or a record holds Maya: their buttons stay off
        # Filled by the command-output callback, emptied by the refresh: the pane is never
        # touched from inside Maya's output machinery, and a hidden window keeps the newest lines.
        self._incoming = collections.deque(maxlen=MESSAGE_BACKLOG)
        self._callbacks = []
        self._node_callbacks = []
        self._serve_idle_events = qt.maya_main_window() is None

        self.timer = QtCore.QTimer(self)
        self.timer.setInterval(REFRESH_MS)
        self.timer.timeout.connect(self.refresh)

        self._build()
        self._install_callbacks()
        self.reload_devices(select=node)
        self.resize(1100, 860)

    # ----------------------------------------------------------------------------------------
    # Layout

    def _build(self):
        left = QtWidgets.QVBoxLayout()
        left.addWidget(self._device_section())
        left.addWidget(self._connection_section())
        left.addWidget(self._status_section())
        left.addWidget(self._capture_section())
        left.addWidget(self._takes_section(), 1)
        left_widget = QtWidgets.QWidget()
        left_widget.setLayout(left)
        left_widget.setMinimumWidth(420)
        left.setContentsMargins(0, 0, 0, 0)

        top = QtWidgets.QSplitter(Qt.Horizontal)
        top.addWidget(left_widget)
        top.addWidget(self._channels_section())
        top.setStretchFactor(0, 0)
        top.setStretchFactor(1, 1)

        whole = QtWidgets.QSplitter(Qt.Vertical)
        whole.addWidget(top)
        whole.addWidget(self._messages_section())
        whole.setStretchFactor(0, 3)
        whole.setStretchFactor(1, 1)
        whole.setSizes([640, 170])

        layout = QtWidgets.QVBoxLayout(self)
        layout.addWidget(whole)
        self.note_label = QtWidgets.QLabel("")
        self.note_label.setWordWrap(True)
        layout.addWidget(self.note_label)

    def _device_section(self):
        box = QtWidgets.QGroupBox("Device")
        self.device_combo = QtWidgets.QComboBox()
        self.device_combo.setToolTip("The LMRARealTimeDevice node this window works on")
        self.device_combo.activated.connect(lambda index: self.select_device(self.device_combo.itemText(index)))
        self.new_device_button = common.button("New", self.create_device, "Create a new device node")
        self.reload_devices_button = common.button("Reload", self.reload_devices, "List the scene's device nodes again")
        row = QtWidgets.QHBoxLayout(box)
        row.addWidget(self.device_combo, 1)
        row.addWidget(self.new_device_button)
        row.addWidget(self.reload_devices_button)
        return box

    def _connection_section(self):
        box = QtWidgets.QGroupBox("Connection")
        self.transport_combo = QtWidgets.QComboBox()
        self.transport_combo.addItems(["Wi-Fi", "USB"])
        self.transport_combo.currentIndexChanged.connect(self._transport_changed)
        self.address_edit = common.line_edit(placeholder="the phone's address, e.g. 192.168.0.42")
        self.port_edit = common.line_edit(placeholder="1-65535")
        self.port_edit.setMaximumWidth(80)
        self.connect_button = common.button("Connect", self.connect_phone, "Connect to the capture app on the phone")
        self.disconnect_button = common.button("Disconnect", self.disconnect_phone)
        self.check_button = common.button(
            "Check connection", self.check_phone_connection,
            "Run the steps of connecting one by one without capturing, and say what to try for a step that fails")
        # The last check's steps, shown once a check has run.
        self.check_view = QtWidgets.QTextEdit()
        self.check_view.setReadOnly(True)
        self.check_view.setMinimumHeight(100)
        self.check_view.setMaximumHeight(200)
        self.check_view.hide()
        grid = QtWidgets.QGridLayout(box)
        grid.addWidget(QtWidgets.QLabel("Over"), 0, 0)
        grid.addWidget(self.transport_combo, 0, 1)
        grid.addWidget(QtWidgets.QLabel("Port"), 0, 2)
        grid.addWidget(self.port_edit, 0, 3)
        grid.addWidget(QtWidgets.QLabel("Address"), 1, 0)
        grid.addWidget(self.address_edit, 1, 1, 1, 3)
        buttons = QtWidgets.QHBoxLayout()
        buttons.addWidget(self.connect_button)
        buttons.addWidget(self.disconnect_button)
        buttons.addWidget(self.check_button)
        grid.addLayout(buttons, 2, 0, 1, 4)
        grid.addWidget(self.check_view, 3, 0, 1, 4)
        return box

    def _status_section(self):
        box = QtWidgets.QGroupBox("Status")
        self.status_light = QtWidgets.QLabel()
        self.status_light.setFixedSize(16, 16)
        self.status_label = QtWidgets.QLabel("No device")
        font = self.status_label.font()
        font.setBold(True)
        self.status_label.setFont(font)
        self.rate_label = QtWidgets.QLabel("-")
        self.age_label = QtWidgets.QLabel("-")
        self.dropped_label = QtWidgets.QLabel("-")
        grid = QtWidgets.QGridLayout(box)
        grid.addWidget(self.status_light, 0, 0)
        grid.addWidget(self.status_label, 0, 1, 1, 3)
        for column, (title, label) in enumerate(
                [("Frames a second", self.rate_label), ("Last frame", self.age_label),
                 ("Dropped", self.dropped_label)]):
            caption = QtWidgets.QLabel(title)
            caption.setStyleSheet("color: gray")
            grid.addWidget(caption, 1, 1 + column)
            grid.addWidget(label, 2, 1 + column)
        self._set_light(None)
        return box

    def _capture_section(self):
        box = QtWidgets.QGroupBox("Capture")
        self.start_button = common.button("Start", self.start_capture, "Start or resume streaming")
        self.pause_button = common.button("Pause", self.pause_capture, "Pause streaming; outputs hold their values")
        self.stop_button = common.button("Stop", self.stop_capture, "End the capture session")
        self.video_check = QtWidgets.QCheckBox("Record video on the phone")
        self.video_check.toggled.connect(self._video_toggled)
        grid = QtWidgets.QGridLayout(box)
        grid.addWidget(self.start_button, 0, 0)
        grid.addWidget(self.pause_button, 0, 1)
        grid.addWidget(self.stop_button, 0, 2)
        grid.addWidget(self.video_check, 1, 0, 1, 3)
        return box

    def _takes_section(self):
        self.takes = takes_panel.TakesPanel(self)
        # The names tests and scripts use.
        for name in ("folder_edit", "browse_button", "shot_edit", "record_button", "save_button", "take_list",
                     "load_button", "bake_button", "remove_reader_check"):
            setattr(self, name, getattr(self.takes, name))
        return self.takes

    def _channels_section(self):
        self.channels = channels.ChannelPanel(self.say)
        # The names tests and scripts use.
        self.channel_table = self.channels.table
        self.filter_edit = self.channels.filter_edit
        return self.channels

    def _messages_section(self):
        box = QtWidgets.QGroupBox("Messages")
        self.messages = QtWidgets.QPlainTextEdit()
        self.messages.setReadOnly(True)
        self.messages.setMaximumBlockCount(MESSAGE_LINES)
        layout = QtWidgets.QVBoxLayout(box)
        layout.addWidget(self.messages)
        return box

    # ----------------------------------------------------------------------------------------
    # Maya callbacks: messages, the status event, scene changes, the device's attributes

    def _install_callbacks(self):
        incoming = self._incoming  # the callback holds the queue only, never the widget
        self._callbacks.append(om.MCommandMessage.addCommandOutputCallback(
            lambda text, kind, data: incoming.append((text, kind))))
        me = weakref.ref(self)

        def call(method):
            def callback(*args):
                window = me()
                if window is not None and qt.is_alive(window):
                    method(window, *args)
            return callback

        self._callbacks.append(om.MUserEventMessage.addUserEventCallback(
            capture.STATUS_EVENT, call(CaptureWindow._status_event)))
        for message in (om.MSceneMessage.kBeforeNew, om.MSceneMessage.kBeforeOpen):
            self._callbacks.append(om.MSceneMessage.addCallback(message, call(CaptureWindow._scene_closing)))
        for message in (om.MSceneMessage.kAfterNew, om.MSceneMessage.kAfterOpen):
            self._callbacks.append(om.MSceneMessage.addCallback(message, call(CaptureWindow._scene_opened)))
        self._call = call

    def _remove_callbacks(self):
        self._remove_node_callbacks()
        for callback in self._callbacks:
            _remove_callback(callback)
        self._callbacks = []

    def _watch_node(self, node):
        self._remove_node_callbacks()
        if node:
            obj = om.MSelectionList().add(node).getDependNode(0)
            self._node_callbacks.append(om.MNodeMessage.addAttributeChangedCallback(
                obj, self._call(CaptureWindow._attribute_changed)))

    def _remove_node_callbacks(self):
        for callback in self._node_callbacks:
            _remove_callback(callback)
        self._node_callbacks = []

    def _status_event(self, data=None):
        self.status_events += 1
        if self.isVisible() and self.node and cmds.objExists(self.node):
            self.update_status()

    def _attribute_changed(self, message, plug, other=None, data=None):
        if lumora.suppress_on_attr_refresh:
            # The plug-in is rebuilding the channel outputs: ignore the changes it makes and
            # rebuild the table once it is done.
            self._rebuild_pending = True
            return
        if message & om.MNodeMessage.kAttributeSet:
            name = plug.name().rsplit(".", 1)[-1]
            if name.endswith("_mlt"):
                self.channels.show_multiplier(name[:-4])

    def _scene_closing(self, data=None):
        self._remove_node_callbacks()
        self.node = None

    def _scene_opened(self, data=None):
        self.takes.forget_readers()
        self.reload_devices()

    # ----------------------------------------------------------------------------------------
    # Showing, hiding, closing: the timer runs only while the window is shown

    def showEvent(self, event):
        super(CaptureWindow, self).showEvent(event)
        if not self._callbacks:  # shown again after a close
            self._install_callbacks()
            self.reload_devices()
        if not self.timer.isActive():
            self.timer.start()
        self.refresh()

    def hideEvent(self, event):
        self.timer.stop()
        super(CaptureWindow, self).hideEvent(event)

    def closeEvent(self, event):
        self.timer.stop()
        self._remove_callbacks()
        super(CaptureWindow, self).closeEvent(event)

    # ----------------------------------------------------------------------------------------
    # The refresh

    def refresh(self):
        """One refresh: Maya's idle events where nothing else serves them, the messages that
        arrived, the channel table if the device's channels were rebuilt, status, health and the
        values of the visible channels."""
        if self._refreshing:  # idle events may run code that refreshes the window
            return
        self._refreshing = True
        try:
            if self._serve_idle_events:
                maya.utils.processIdleEvents()
            self.ticks += 1
            self._show_incoming()
            if self.node and not cmds.objExists(self.node):
                self.say("{} was deleted.".format(self.node), "warning")
                self.reload_devices()
            if self._rebuild_pending and not lumora.suppress_on_attr_refresh:
                self.rebuild_channel_table()
            if self.node:
                self.takes.poll_save()
                self.update_status()
                self.channels.update_values()
        except Exception as error:  # a refresh must never take Maya's event loop down
            text = common.error_text(error)
            if text != self._refresh_error:  # said once, not ten times a second
                self._refresh_error = text
                self.say(text, "error")
        else:
            self._refresh_error = None
        finally:
            self._refreshing = False

    def _show_incoming(self):
        while self._incoming:
            text, kind = self._incoming.popleft()
            self._append(text, kind)

    def _append(self, text, kind):
        colour = {om.MCommandMessage.kError: "#e05050", om.MCommandMessage.kWarning: "#d89000"}.get(kind)
        style = "white-space: pre-wrap" + ("; color: " + colour if colour else "")
        self.messages.appendHtml('<span style="{}">{}</span>'.format(style, html.escape(text).replace("\n", "<br>")))

    def say(self, text, kind="info"):
        """A message of the window's own: in the pane and on the line under it."""
        self._show_incoming()  # keep the order in which things happened
        kinds = {"info": om.MCommandMessage.kInfo, "warning": om.MCommandMessage.kWarning,
                 "error": om.MCommandMessage.kError}
        self._append(text, kinds[kind])
        self.note(text, kind)

    def note(self, text, kind="info"):
        """The line under the messages (for what the pane already shows)."""
        first = text.splitlines()[0] if text else ""
        self.note_label.setText(first)
        self.note_label.setStyleSheet({"error": "color: #e05050", "warning": "color: #d89000"}.get(kind, ""))

    def update_status(self):
        """The status light and text, the health figures and which buttons the status allows."""
        status = capture.status(self.node)
        health = capture.health(self.node)
        paused = status.code >= 2 and capture.is_paused(self.node)  # the status stays as it was
        # Capturing, and no frames of late: just started, paused elsewhere, or the phone is silent.
        waiting = status.code >= 2 and not paused and health.streaming is not None and not health.streaming
        self._set_light(PAUSED_COLOUR if paused or waiting else LIGHT_COLOURS.get(status.code, LIGHT_COLOURS[0]))
        self.status_label.setText(status.text + (" (paused)" if paused else " (no frames)" if waiting else ""))
        self.rate_label.setText(_figure(health.receive_rate, "{:.1f}"))
        age = health.last_frame_age_ms
        self.age_label.setText("none yet" if age is not None and age < 0 else _figure(age, "{:.0f} ms ago"))
        self.dropped_label.setText(_figure(health.dropped_messages, "{:.0f}"))
        # A take being saved keeps its session until the video is in: nothing here may end or
        # restart that session meanwhile. A take being recorded ends with Stop and save only:
        # ending its session any other way would throw the performance away.
        saving = self.takes.saving() is not None
        self.pause_button.setEnabled(status.code >= 2 and not paused and not saving)
        self.takes.update_buttons(status.code)
        taking = saving or self.node in self.takes.recording
        # Stop also ends a save whose video has been long in coming (a phone gone): the take is
        # then saved without it.
        self.stop_button.setEnabled(status.code >= 1 and (not taking or self.takes.waiting_long()))
        self.disconnect_button.setEnabled(status.code >= 1 and not taking)
        self.start_button.setEnabled(not saving)
        if not self._holding:  # a refresh or the status event while the connect runs
            self.connect_button.setEnabled(not taking)

    def _set_light(self, colour):
        """The status light's colour; restyled only when it changes, not on every refresh."""
        colour = colour or "#444444"
        if colour != self._light:
            self._light = colour
            self.status_light.setStyleSheet(
                "background-color: {}; border-radius: 8px; border: 1px solid #333".format(colour))

    def rebuild_channel_table(self):
        """One row per channel of the device (done once after the plug-in rebuilt the outputs)."""
        self._rebuild_pending = False
        self.channels.rebuild(self.node)

    @property
    def rows(self):
        """Channel name -> its row in the channel table."""
        return self.channels.rows

    @property
    def table_rebuilds(self):
        return self.channels.rebuilds

    # ----------------------------------------------------------------------------------------
    # The device

    def reload_devices(self, select=None):
        """Lists the scene's device nodes and keeps (or picks) one."""
        names = capture.devices()
        keep = select or self.node
        if keep not in names:
            keep = names[0] if names else None
        self.device_combo.blockSignals(True)
        self.device_combo.clear()
        self.device_combo.addItems(names)
        if keep:
            self.device_combo.setCurrentIndex(names.index(keep))
        self.device_combo.blockSignals(False)
        self.select_device(keep)

    def create_device(self):
        try:
            node = capture.create_device()
        except Exception as error:
            return self.say(common.error_text(error), "error")
        self.say("Created {}.".format(node))
        self.reload_devices(select=node)
        return node

    def select_device(self, node):
        """Works on node (None: none)."""
        if node and self.device_combo.findText(node) < 0:
            self.reload_devices(select=node)
            return
        if (node or None) != self.node:
            self.check_view.hide()  # the last check was another node's
        self.node = node or None
        self._watch_node(self.node)
        for widget in self._device_widgets():
            widget.setEnabled(bool(self.node))
        self._load_settings()
        self.takes.load_settings()
        self.rebuild_channel_table()
        if self.node:
            self.update_status()
        else:
            self.status_label.setText("No device: press New to create one")
            self._set_light(None)
            for label in (self.rate_label, self.age_label, self.dropped_label):
                label.setText("-")
            self.takes.update_buttons(0)

    def _device_widgets(self):
        return [self.transport_combo, self.address_edit, self.port_edit, self.connect_button,
                self.disconnect_button, self.check_button, self.start_button, self.pause_button,
                self.stop_button, self.video_check] + self.takes.device_widgets()

    def _load_settings(self):
        """The connection settings of the node into the fields."""
        widgets = [self.transport_combo, self.video_check]
        for widget in widgets:
            widget.blockSignals(True)
        try:
            if not self.node:
                self.address_edit.clear()
                self.port_edit.clear()
                return
            usb = cmds.getAttr(self.node + ".connectionType") != 0
            self.transport_combo.setCurrentIndex(USB if usb else WIFI)
            self.address_edit.setText(cmds.getAttr(self.node + ".ipAddress") or "")
            self._show_port()
            self.video_check.setChecked(bool(cmds.getAttr(self.node + ".rv")))
        finally:
            for widget in widgets:
                widget.blockSignals(False)
        self.address_edit.setEnabled(not usb)

    def _show_port(self):
        attribute = ".usbPort" if self.transport_combo.currentIndex() == USB else ".wifiPort"
        self.port_edit.setText(str(cmds.getAttr(self.node + attribute)))

    def _transport_changed(self, index):
        self.address_edit.setEnabled(index == WIFI)
        if self.node:
            self._show_port()

    def _video_toggled(self, on):
        if self.node:
            cmds.setAttr(self.node + ".rv", bool(on))

    # ----------------------------------------------------------------------------------------
    # Connection and capture

    def connection_settings(self):
        """(transport, address, port) from the fields, checked as the capture API checks them;
        raises LumoraError saying what to fix."""
        transport = self.transport_combo.currentIndex()
        address = self.address_edit.text().strip()
        text = self.port_edit.text().strip()
        try:
            port = int(text)
        except ValueError:
            port = text  # refused below, named as typed
        if transport == WIFI:
            capture.check_address(address)
        capture.check_port(port, "USB port" if transport == USB else "Wi-Fi port")
        return transport, address, port

    def connect_phone(self):
        """Connects with the settings of the fields, checked first; True when connected. The
        connect holds Maya's main thread for at most the connect time-out: the button is disabled
        and the cursor busy meanwhile."""
        if not self.node:
            return False
        try:
            transport, address, port = self.connection_settings()
        except lumora.LumoraError as error:
            self.say(str(error), "error")
            return False
        where = "USB (port {})".format(port) if transport == USB else "Wi-Fi ({}, port {})".format(address, port)
        self.say("Connecting to the phone over {}...".format(where))
        try:
            with self.hold(self.connect_button):
                if transport == USB:
                    code = capture.connect_usb(port, node=self.node)
                else:
                    code = capture.connect_wifi(address, port, node=self.node)
        except Exception as error:
            code = 0
            self.say(common.error_text(error), "error")
        self._rebuild_pending = True  # the channels of this phone
        self.refresh()
        if code:
            self.say("Connected over {}: {} channels.".format(where, len(self.rows)))
        else:
            self.say("Not connected: the messages above say why (the README's \"Connecting your phone\" "
                     "explains each).", "error")
        return bool(code)

    def check_phone_connection(self):
        """Runs the connection check with the settings of the fields (checked first, and stored on
        a node that is not connected) and shows its steps: each with its outcome, and under a step
        that failed what to try. Holds Maya's main thread for at most the check's time-out, with
        the buttons disabled and a busy cursor. Returns the check's lines."""
        if not self.node or not self.store_settings():
            return []
        try:
            connected = capture.status(self.node).code != 0
            usb = cmds.getAttr(self.node + ".connectionType") != 0
            where = "" if connected else " over USB" if usb else " over Wi-Fi"
            self.say("Checking the connection to the phone{}...".format(where))
            with self.hold(self.check_button, self.connect_button):
                lines = capture.check_connection(self.node)
        except Exception as error:
            self.say(common.error_text(error), "error")
            return []
        steps = [check_step(line) for line in lines]
        self.check_view.setHtml(check_html(steps))
        self.check_view.show()
        self.check_view.scrollToAnchor(FIRST_FAILED)  # the step to look at, with what to try
        failed = [step for step in steps if step.outcome in ("failed", "warning")]
        if failed:
            self.say("Connection check: {} {}: {} What to try is under Connection.".format(
                failed[0].step, failed[0].outcome, failed[0].found), "warning")
        else:
            self.say("Connection check{}: every step ok.".format(where))
        self.refresh()
        return lines

    def store_settings(self):
        """Stores the connection settings of the fields on a node that is not connected (a
        running session keeps its own), for what connects without Connect: Check connection and
        Record take. Says what to fix and returns False when they do not check."""
        try:
            transport, address, port = self.connection_settings()
            if capture.status(self.node).code == 0:
                if transport == USB:
                    capture.configure_usb(port, node=self.node)
                else:
                    capture.configure_wifi(address, port, node=self.node)
        except lumora.LumoraError as error:
            self.say(str(error), "error")
            return False
        return True

    @contextlib.contextmanager
    def hold(self, *widgets):
        """common.busy for a call that holds Maya's main thread, which the refreshes and status
        events it lets through leave alone."""
        self._holding = True
        try:
            with common.busy(*widgets, window=self):
                yield
        finally:
            self._holding = False

    def disconnect_phone(self):
        self.run(capture.disconnect, self.node)

    def start_capture(self):
        self.run(capture.start, self.node, video=self.video_check.isChecked())

    def pause_capture(self):
        self.run(capture.pause, self.node)

    def stop_capture(self):
        self.run(capture.stop, self.node)

    def run(self, action, *args, **kwargs):
        """Runs an API call, showing its failure; then refreshes. Returns its result, or
        common.FAILED."""
        try:
            return action(*args, **kwargs)
        except Exception as error:
            self.say(common.error_text(error), "error")
            return common.FAILED
        finally:
            self.refresh()


# One line of the connection check: "<step>: <outcome>: <what it found>[ Next: <what to try>]".
CheckStep = collections.namedtuple("CheckStep", "step outcome found hint")
CHECK_COLOURS = {"ok": "#2fb344", "warning": "#d89000", "failed": "#e05050", "skipped": "#888888"}


def check_step(line):
    """A line of the connection check in its parts (a line of another shape is all found)."""
    parts = line.split(": ", 2)
    if len(parts) < 3 or parts[1] not in CHECK_COLOURS:
        return CheckStep("", "", line, "")
    found, _, hint = parts[2].partition(" Next: ")
    return CheckStep(parts[0], parts[1], found, hint)


FIRST_FAILED = "firstFailed"  # the anchor of the first step that did not pass


def check_html(steps):
    """The check's steps as rich text: the step in bold, its outcome in its colour, and what to
    try on a line of its own under a step that did not pass."""
    rows = []
    anchor = '<a name="{}"></a>'.format(FIRST_FAILED)
    for step in steps:
        colour = CHECK_COLOURS.get(step.outcome, "")
        head = "<b>{}</b> <span style=\"color: {}\">{}</span>: ".format(
            html.escape(step.step), colour, html.escape(step.outcome)) if step.step else ""
        if step.outcome in ("failed", "warning") and anchor:
            head, anchor = anchor + head, ""
        row = "<p style=\"margin: 0 0 4px 0\">{}{}".format(head, html.escape(step.found))
        if step.hint:
            row += "<br>&nbsp;&nbsp;&nbsp;&nbsp;<b>Next:</b> " + html.escape(step.hint)
        rows.append(row + "</p>")
    return "".join(rows)


def _figure(value, form):
    return "-" if value is None else form.format(value)


def _remove_callback(callback):
    try:
        om.MMessage.removeCallback(callback)
    except RuntimeError:  # already gone with its node
        pass

