"""The capture window's takes: folder and shot, Record take and Stop and save, the list of the
shot's takes, and Load and Bake for the selected one."""

import os
import time

import maya.cmds as cmds

from lumora import takes
from lumora.ui import actions, common, state
from lumora.ui.common import FAILED
from lumora.ui.qt import QtWidgets, Qt

# A save still running after this many seconds is waiting for a long video: the window says so.
LONG_SAVE_SECONDS = 30.0


class TakesPanel(QtWidgets.QGroupBox):
    """The takes section of a capture window, which gives it the device node (window.node), the
    video choice (window.video_check) and its messages (window.say)."""

    def __init__(self, window):
        super(TakesPanel, self).__init__("Takes")
        self.window = window
        self.readers = {}  # take path -> the clip reader it was loaded into
        self.recording = set()  # device nodes with a take started here and not saved yet
        self.saves = {}  # device node -> (clip path, when its save began) while the save runs
        self.long_saves = set()  # clip paths whose long wait has been said
        self.last_take = None  # the Take of the last save that ended well
        self.folder_edit = common.line_edit(placeholder="folder of the takes")
        self.folder_edit.editingFinished.connect(self._folder_edited)
        self.browse_button = common.button("...", self.browse_folder, "Pick the takes folder")
        self.shot_edit = common.line_edit(placeholder="shot name")
        self.shot_edit.editingFinished.connect(self._shot_edited)
        self.record_button = common.button("Record take", self.record_take, "Start capturing a new take")
        self.save_button = common.button("Stop and save", self.stop_and_save,
                                         "End the take and save it with its video as <shot>_take<NNN>.clip")
        self.save_button.setEnabled(False)
        self.take_list = QtWidgets.QTreeWidget()
        self.take_list.setHeaderLabels(["Take", "Frames", "Seconds", "Video", "Reader"])
        self.take_list.setRootIsDecorated(False)
        self.take_list.setMinimumHeight(90)
        self.take_list.itemDoubleClicked.connect(lambda item, column: self.load_selected_take())
        self.load_button = common.button("Load", self.load_selected_take, "Load the take into a clip reader")
        self.bake_button = common.button("Bake", self.bake_selected_take, "Bake the take onto the mapped rig as keys")
        self.remove_reader_check = QtWidgets.QCheckBox("Remove reader after baking")
        grid = QtWidgets.QGridLayout(self)
        grid.addWidget(QtWidgets.QLabel("Folder"), 0, 0)
        grid.addWidget(self.folder_edit, 0, 1, 1, 2)
        grid.addWidget(self.browse_button, 0, 3)
        grid.addWidget(QtWidgets.QLabel("Shot"), 1, 0)
        grid.addWidget(self.shot_edit, 1, 1, 1, 3)
        grid.addWidget(self.record_button, 2, 0, 1, 2)
        grid.addWidget(self.save_button, 2, 2, 1, 2)
        grid.addWidget(self.take_list, 3, 0, 1, 4)
        grid.addWidget(self.load_button, 4, 0, 1, 2)
        grid.addWidget(self.bake_button, 4, 2, 1, 2)
        grid.addWidget(self.remove_reader_check, 5, 0, 1, 4)
        grid.setRowStretch(3, 1)

    @property
    def node(self):
        return self.window.node

    def device_widgets(self):
        """What needs a device node."""
        return [self.folder_edit, self.browse_button, self.shot_edit, self.record_button]

    def load_settings(self):
        """The node's folder and shot into the fields, and its takes into the list."""
        self.folder_edit.setText(takes.folder(self.node) if self.node else "")
        self.shot_edit.setText(takes.shot(self.node) if self.node else "")
        self.refresh_takes()

    def forget_readers(self):
        """A new scene: the readers are gone."""
        self.readers = {}

    def update_buttons(self, status_code):
        """Stop and save while the node captures (a capture begun with Start is saved as long as
        the node's clipLength); Record take while no take of the node is being recorded; neither
        while a take of the node is being saved."""
        saving = self.saving() is not None
        if status_code < 2 and not saving:
            self.recording.discard(self.node)
        self.save_button.setEnabled(status_code >= 2 and not saving)
        self.record_button.setEnabled(bool(self.node) and self.node not in self.recording and not saving)

    def run(self, action, *args, **kwargs):
        return self.window.run(action, *args, **kwargs)

    def _folder_edited(self):
        if self.node and self.folder_edit.text().strip() != takes.folder(self.node):
            self.run(takes.set_folder, self.folder_edit.text().strip(), node=self.node)
            self.load_settings()  # what the node keeps: a refused folder is not shown as if taken

    def _shot_edited(self):
        if self.node and self.shot_edit.text().strip() != takes.shot(self.node):
            self.run(takes.set_shot, self.shot_edit.text().strip(), node=self.node)
            self.load_settings()

    def browse_folder(self):
        from lumora.ui import dialogs
        folder = dialogs.ask_folder(self, "Takes folder", self.folder_edit.text())
        if folder:
            self.folder_edit.setText(folder)
            self._folder_edited()

    def record_take(self):
        """Starts capturing a take, connecting first with the window's settings when the node
        has no session: Maya is held meanwhile, as by Connect."""
        self._folder_edited()
        self._shot_edited()
        if not self.window.store_settings():
            return
        with self.window.hold(self.record_button, self.window.connect_button):
            recorded = self.run(takes.record, self.node, video=self.window.video_check.isChecked())
        if recorded is not FAILED:
            self.recording.add(self.node)
            self.window.refresh()
            self.window.say("Recording a take of {}; press Stop and save to end it.".format(self.shot_edit.text()))

    def stop_and_save(self):
        """Ends the take and starts saving it with its video, and returns at once: the clip path
        being written, or None when the save could not start (the message says why). The window's
        refresh polls the save (poll_save); when it has ended the take appears in the list."""
        try:
            path = takes.begin_stop_and_save(self.node)
        except Exception as error:
            # The take is kept, paused: Stop and save again once the reason is fixed.
            self.window.say(common.error_text(error), "error")
            self.window.refresh()
            return None
        self._watch_save(self.node, path)
        self.window.update_status()  # the capture buttons go off while the save runs
        return path

    def _watch_save(self, node, path):
        if self.saves.get(node, (None,))[0] == path:
            return
        self.saves[node] = (path, time.monotonic())
        self.update_buttons(2)
        self.window.say("Saving the take {} with the phone's video; it is listed once saved.".format(
            _take_name(path)))

    def saving(self):
        """The clip path of the current node's take being saved, or None."""
        entry = self.saves.get(self.node)
        return entry[0] if entry else None

    def waiting_long(self):
        """Whether the current node's save has waited long for the phone's video: ending the
        session then keeps the take without it."""
        path = self.saving()
        return path is not None and path in self.long_saves

    def poll_save(self):
        """Called by the window's refresh: looks at the current node's save, taking up one begun
        elsewhere (by a script, or before the window was closed). When it has ended: the take is
        listed and selected and summed up, or the failure is shown and the buttons come back.
        Returns the Take once, when the save has ended well."""
        node = self.node
        if not node:
            return None
        pending = takes.saving(node)
        if pending and self.saves.get(node, (None,))[0] != pending:
            self._watch_save(node, pending)
        if node not in self.saves:
            return None
        path, begun = self.saves[node]
        try:
            take = takes.finish_stop_and_save(node)
        except Exception as error:
            del self.saves[node]
            if pending is None:  # finished elsewhere (a script) and recorded again since
                self.refresh_takes()
            else:
                self.window.say(common.error_text(error), "error")
            return None
        if take is None:
            if time.monotonic() - begun > LONG_SAVE_SECONDS and path not in self.long_saves:
                self.long_saves.add(path)
                self.window.say("Still waiting for the video of {} from the phone after {:g} s; the take is "
                                "listed once it has arrived. If the phone has gone, press Stop to keep the "
                                "take without its video.".format(_take_name(path), LONG_SAVE_SECONDS),
                                "warning")
                self.window.update_status()  # Stop comes on: the way out when the video never comes
            return None
        del self.saves[node]
        self.long_saves.discard(path)
        self.recording.discard(node)
        self.last_take = take
        video = "with its video" if take.has_video else "without video"
        # The messages show the take's confirmation; the line under them sums it up.
        self.window.note("Saved {}: {} frames, {:.2f} s, {}.".format(take.name, take.frames, take.duration, video))
        self.refresh_takes(select=take.path)
        return take

    def refresh_takes(self, select=None):
        """Lists the takes of the folder and shot."""
        self.take_list.clear()
        if not self.node:
            return
        try:
            found = takes.list_takes(node=self.node)  # where the node's takes go
        except Exception as error:
            self.window.say(common.error_text(error), "warning")
            found = []
        for take in found:
            item = QtWidgets.QTreeWidgetItem(
                [take.name, str(take.frames), "{:.2f}".format(take.duration), "yes" if take.has_video else "no",
                 self._reader_of(take.path) or ""])
            item.setData(0, Qt.UserRole, take.path)
            self.take_list.addTopLevelItem(item)
            if take.path == select:
                self.take_list.setCurrentItem(item)
        for column in range(self.take_list.columnCount()):
            self.take_list.resizeColumnToContents(column)

    def _reader_of(self, path):
        reader = self.readers.get(path)
        if reader and not cmds.objExists(reader):
            del self.readers[path]
            reader = None
        return reader

    def selected_take(self):
        """The path of the take selected in the list, or None (saying so)."""
        item = self.take_list.currentItem()
        if item is None:
            self.window.say("Select a take in the list first.", "warning")
            return None
        return item.data(0, Qt.UserRole)

    def load_selected_take(self):
        """Loads the selected take into a clip reader (the one it was loaded into before, if it
        still exists); returns the reader."""
        path = self.selected_take()
        if not path:
            return None
        reader = self.run(takes.load_take, path, reader=self._reader_of(path))
        if reader is FAILED or not reader:
            return None
        self.readers[path] = reader
        self.window.say("Loaded {} into {}.".format(os.path.basename(path), reader))
        self.refresh_takes(select=path)
        return reader

    def bake_selected_take(self):
        """Bakes the selected take onto the rig of the last mapping; returns the keyed plugs."""
        path = self.selected_take()
        if not path:
            return None
        if state.mapping is None:
            self.window.say(actions.MAP_FIRST, "error")
            return None
        reader = self._reader_of(path) or self.load_selected_take()
        if not reader:
            return None
        remove = self.remove_reader_check.isChecked()
        keyed = self.run(actions.bake, reader, remove_reader=remove)
        if keyed is FAILED:
            return None
        self.window.say(actions.baked_text(reader, keyed))
        if remove:
            self.readers.pop(path, None)
        self.refresh_takes(select=path)
        return keyed


def _take_name(path):
    return os.path.splitext(os.path.basename(path))[0]

