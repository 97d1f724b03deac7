"""The dialogs of the Face Capture menu: Load Take, Map Channels to Rig, Bake Take to Keys, Help.

They are modeless (Maya goes on while they are open) and there is one of each per session. File
choosers go through ask_open_file, ask_save_file and ask_folder, the only modal pieces.
"""

import os

import maya.api.OpenMaya as om
import maya.cmds as cmds

from lumora import capture, rig
from lumora.ui import actions, common, qt, state
from lumora.ui.qt import QtWidgets, Qt

_open = {}  # dialog class -> its one instance


def ask_open_file(parent, caption, folder, filters):
    """A file to open, or "" when cancelled."""
    return QtWidgets.QFileDialog.getOpenFileName(parent, caption, folder, filters)[0]


def ask_save_file(parent, caption, folder, filters):
    """A file to write, or "" when cancelled."""
    return QtWidgets.QFileDialog.getSaveFileName(parent, caption, folder, filters)[0]


def ask_folder(parent, caption, folder):
    """A folder, or "" when cancelled."""
    return QtWidgets.QFileDialog.getExistingDirectory(parent, caption, folder)


def show(dialog_class, parent=None):
    """Shows the session's dialog of that class (made on first use) and returns it."""
    dialog = _open.get(dialog_class)
    if dialog is None or not qt.is_alive(dialog):
        dialog = dialog_class(parent if parent is not None else qt.maya_main_window())
        _open[dialog_class] = dialog
    else:
        dialog.reload()
    dialog.show()
    dialog.raise_()
    return dialog


def close_all():
    for dialog in list(_open.values()):
        if qt.is_alive(dialog):
            dialog.close()
            dialog.deleteLater()
    _open.clear()


def load_take_from_file(parent=None):
    """Asks for a take file and loads it into a new clip reader; returns the reader, or None."""
    path = ask_open_file(parent, "Load Take", actions.default_folder(), actions.take_filter())
    if not path:
        return None
    try:
        reader = actions.load_take(path)
    except Exception as error:
        om.MGlobal.displayError(common.error_text(error))
        return None
    om.MGlobal.displayInfo("Loaded {} into {}.".format(os.path.basename(path), reader))
    return reader


class _Dialog(QtWidgets.QDialog):
    """A modeless tool dialog with a result pane at the bottom."""

    def __init__(self, parent, title):
        super(_Dialog, self).__init__(parent)
        self.setWindowTitle(title)
        self.setModal(False)
        self.form = QtWidgets.QFormLayout()
        self.buttons = QtWidgets.QHBoxLayout()
        self.result = QtWidgets.QPlainTextEdit()
        self.result.setReadOnly(True)
        layout = QtWidgets.QVBoxLayout(self)
        layout.addLayout(self.form)
        layout.addLayout(self.buttons)
        layout.addWidget(self.result)

    def tell(self, text):
        self.result.setPlainText(text)

    def reload(self):
        """Lists the scene's nodes again."""

    def attempt(self, action, *args, **kwargs):
        """Runs action; a failure is shown in the result pane. Returns (ok, result)."""
        try:
            return True, action(*args, **kwargs)
        except Exception as error:
            self.tell(common.error_text(error))
            return False, None


def _fill(combo, names):
    current = combo.currentText()
    combo.clear()
    combo.addItems(names)
    if current in names:
        combo.setCurrentIndex(names.index(current))


class MapDialog(_Dialog):
    """Maps a source's channels (a device or a clip reader) onto a blendShape's targets or a
    node's attributes, with a report of what matched."""

    def __init__(self, parent=None):
        super(MapDialog, self).__init__(parent, "Map Channels to Rig")
        self.source_combo = QtWidgets.QComboBox()
        self.source_combo.setEditable(True)
        self.targets_edit = common.line_edit(placeholder="blendShape nodes, nodes or plugs, separated by spaces")
        self.selection_button = common.button("Selected", self.use_selection, "Take the targets from the selection")
        targets = QtWidgets.QHBoxLayout()
        targets.addWidget(self.targets_edit, 1)
        targets.addWidget(self.selection_button)
        self.overrides_edit = QtWidgets.QPlainTextEdit()
        self.overrides_edit.setPlaceholderText(
            "optional, one a line: target = channel, or target = - to leave it out\ne.g. mouthOpen = jawOpen")
        self.overrides_edit.setMaximumHeight(70)
        self.form.addRow("Source", self.source_combo)
        self.form.addRow("Targets", targets)
        self.form.addRow("Overrides", self.overrides_edit)
        self.map_button = common.button("Map", self.map_channels, "Connect the matching channels to the targets")
        self.save_button = common.button("Save mapping\u2026", self.save_mapping)
        self.load_button = common.button("Load mapping\u2026", self.load_mapping)
        for widget in (self.map_button, self.save_button, self.load_button):
            self.buttons.addWidget(widget)
        self.resize(520, 420)
        self.reload()

    def reload(self):
        _fill(self.source_combo, capture.devices() + common.clip_readers())

    def use_selection(self):
        selected = cmds.ls(selection=True) or []
        self.targets_edit.setText(" ".join(selected))

    def overrides(self):
        """The override table from its text, target -> channel (None: leave the target out);
        raises ValueError naming a bad line."""
        table = {}
        for line in self.overrides_edit.toPlainText().splitlines():
            if not line.strip():
                continue
            target, equals, channel = line.partition("=")
            if not equals or not target.strip() or not channel.strip():
                raise ValueError("Write each override as target = channel (or target = -); '{}' is not.".format(
                    line.strip()))
            table[target.strip()] = None if channel.strip() == "-" else channel.strip()
        return table

    def map_channels(self):
        """Maps and shows the report; the mapping becomes the one that baking uses."""
        source = self.source_combo.currentText().strip()
        words = self.targets_edit.text().split()
        if not source or not words:
            self.tell("Pick a source (a device or a clip reader) and the targets (a blendShape, a node or plugs).")
            return None
        ok, overrides = self.attempt(self.overrides)
        if not ok:
            return None
        ok, result = self.attempt(rig.map_channels, source, words[0] if len(words) == 1 else words,
                                  overrides=overrides or None)
        if not ok:
            return None
        mapping, report = result
        state.mapping = mapping
        self.tell(str(report))
        return mapping

    def save_mapping(self):
        if state.mapping is None:
            self.tell("Map the channels first; then the mapping can be saved.")
            return None
        path = ask_save_file(self, "Save Mapping", actions.default_folder(), "Mappings (*.json)")
        if path:
            ok, _ = self.attempt(state.mapping.save, path)
            if ok:
                self.tell("Saved the mapping to {}.".format(path))
        return path or None

    def load_mapping(self):
        """Loads a saved mapping and applies it to the source picked here (or its own)."""
        path = ask_open_file(self, "Load Mapping", actions.default_folder(), "Mappings (*.json)")
        if not path:
            return None
        ok, mapping = self.attempt(rig.Mapping.load, path)
        if not ok:
            return None
        source = self.source_combo.currentText().strip() or None
        ok, report = self.attempt(rig.apply, mapping, source=source)
        if ok:
            state.mapping = mapping
            self.tell("Loaded {}.\n{}".format(path, report))
        return mapping


class BakeDialog(_Dialog):
    """Bakes a take, loaded in a clip reader, onto the mapped rig as keys."""

    def __init__(self, parent=None):
        super(BakeDialog, self).__init__(parent, "Bake Take to Keys")
        self.reader_combo = QtWidgets.QComboBox()
        self.load_button = common.button("Load take\u2026", self.load_take, "Load a take file into a new clip reader")
        readers = QtWidgets.QHBoxLayout()
        readers.addWidget(self.reader_combo, 1)
        readers.addWidget(self.load_button)
        self.remove_check = QtWidgets.QCheckBox("Remove the clip reader afterwards")
        self.form.addRow("Take (clip reader)", readers)
        self.form.addRow("", self.remove_check)
        self.bake_button = common.button("Bake", self.bake, "Key the mapped targets at every frame of the take")
        self.buttons.addWidget(self.bake_button)
        self.resize(480, 260)
        self.reload()

    def reload(self):
        _fill(self.reader_combo, common.clip_readers())

    def load_take(self):
        reader = load_take_from_file(self)
        if reader:
            self.reload()
            self.reader_combo.setCurrentIndex(self.reader_combo.findText(reader))
        return reader

    def bake(self):
        reader = self.reader_combo.currentText()
        if not reader:
            self.tell("Load a take first (Load take\u2026).")
            return None
        ok, keyed = self.attempt(actions.bake, reader, remove_reader=self.remove_check.isChecked())
        if not ok:
            return None
        self.tell(actions.baked_text(reader, keyed))
        self.reload()
        return keyed


HELP_TEXT = """<h3>Face Capture</h3>
<ol>
<li><b>Capture Window&hellip;</b>: pick or create a device node (New), choose Wi-Fi (the phone's address
and port) or USB, and press Connect. The light turns yellow when connected. If it does not connect,
<b>Check connection</b> names the step that fails and what to try.</li>
<li>Start streams the face into the device's outputs; the Channels table shows every channel live
and its multiplier (double-click to edit; it is the channel's <i>_mlt</i> attribute).</li>
<li>Set the takes folder and the shot, press <b>Record take</b>, then <b>Stop and save</b>: the take is
saved as <i>shot_take001.clip</i>, with the phone's video beside it when <b>Record video on the
phone</b> is on, and listed once saved (Maya stays free meanwhile).</li>
<li><b>Map Channels to Rig&hellip;</b>: pick the device (or a clip reader) and a blendShape node or a
control; the report says what matched.</li>
<li>Select a take and press <b>Bake</b> (or use <b>Bake Take to Keys&hellip;</b>): the mapped targets get
a key at every frame of the take, and play without the plug-in.</li>
</ol>
<p>The Messages pane shows what the plug-in says; connecting problems are explained in the
README's "Connecting your phone" chapter.</p>
"""


class HelpDialog(QtWidgets.QDialog):
    def __init__(self, parent=None):
        super(HelpDialog, self).__init__(parent)
        self.setWindowTitle("Face Capture Help")
        self.text = QtWidgets.QTextBrowser()
        self.text.setHtml(HELP_TEXT)
        self.close_button = common.button("Close", self.close)
        layout = QtWidgets.QVBoxLayout(self)
        layout.addWidget(self.text)
        layout.addWidget(self.close_button, 0, Qt.AlignRight)
        self.resize(520, 400)

    def reload(self):
        pass
