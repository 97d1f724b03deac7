"""Small pieces the window and the dialogs share: the busy cursor, errors shown to the user, and
the scene's clip readers."""

import contextlib
import traceback

import maya.cmds as cmds

import lumora
from lumora import takes
from lumora.ui.qt import QtCore, QtGui, QtWidgets, Qt

FAILED = object()  # what a failed action gives back


class _DropInput(QtCore.QObject):
    """Drops the clicks and key presses that reach a window: the ones queued while it held Maya."""

    KINDS = (QtCore.QEvent.MouseButtonPress, QtCore.QEvent.MouseButtonRelease, QtCore.QEvent.MouseButtonDblClick,
             QtCore.QEvent.KeyPress, QtCore.QEvent.KeyRelease)

    def __init__(self, window):
        super(_DropInput, self).__init__()
        self.window = window

    def eventFilter(self, receiver, event):
        return (event.type() in self.KINDS and isinstance(receiver, QtWidgets.QWidget)
                and (receiver is self.window or self.window.isAncestorOf(receiver)))


@contextlib.contextmanager
def busy(*widgets, **options):
    """Disables the widgets and shows the busy cursor while Maya's main thread is held, painting
    both before the work starts (a held main thread paints nothing). With window=W, the clicks and
    keys that reached W meanwhile are dropped before the widgets come back: an impatient second
    click on Connect does not connect again."""
    window = options.get("window")
    for widget in widgets:
        widget.setEnabled(False)
    QtWidgets.QApplication.setOverrideCursor(QtGui.QCursor(Qt.WaitCursor))
    QtWidgets.QApplication.processEvents(QtCore.QEventLoop.ExcludeUserInputEvents)
    try:
        yield
    finally:
        if window is not None:
            dropper = _DropInput(window)
            QtWidgets.QApplication.instance().installEventFilter(dropper)
            try:
                QtWidgets.QApplication.processEvents()
            finally:
                QtWidgets.QApplication.instance().removeEventFilter(dropper)
        QtWidgets.QApplication.restoreOverrideCursor()
        for widget in widgets:
            widget.setEnabled(True)


def error_text(error):
    """What to tell the user about a failed action: a LumoraError or a command's RuntimeError
    already says what to do, and a file system error names the file and the reason; anything else
    is a fault of ours, shown with its traceback."""
    if isinstance(error, (lumora.LumoraError, RuntimeError, ValueError, EnvironmentError)):
        return str(error).strip() or type(error).__name__
    return "Unexpected error, please report it:\n" + "".join(
        traceback.format_exception(type(error), error, error.__traceback__)).rstrip()


def clip_readers():
    """The clip reader nodes of the scene."""
    return sorted(cmds.ls(type=takes.READER_TYPE) or [])


def line_edit(text="", placeholder=""):
    edit = QtWidgets.QLineEdit(text)
    edit.setPlaceholderText(placeholder)
    return edit


def button(text, slot, tip=""):
    widget = QtWidgets.QPushButton(text)
    widget.clicked.connect(lambda *args: slot())
    if tip:
        widget.setToolTip(tip)
    return widget
