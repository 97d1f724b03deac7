"""The one module of the package that imports Qt.

Maya 2022 to 2024 ship PySide2 and Maya 2025 onwards PySide6; whichever imports is used, and the
rest of the package takes QtCore, QtGui and QtWidgets from here. The few names that moved between
the two are given one spelling below.
"""

try:
    from PySide2 import QtCore, QtGui, QtWidgets
    from shiboken2 import isValid, wrapInstance

    BINDING = "PySide2"
except ImportError:
    from PySide6 import QtCore, QtGui, QtWidgets
    from shiboken6 import isValid, wrapInstance

    BINDING = "PySide6"

Qt = QtCore.Qt
# QAction lives in QtWidgets with Qt 5 and in QtGui with Qt 6.
QAction = getattr(QtWidgets, "QAction", None) or QtGui.QAction


def is_alive(widget):
    """Whether widget is a Python wrapper whose C++ object still exists (Maya may have deleted
    the window's parent, or a deleteLater may have run)."""
    return widget is not None and isValid(widget)


def maya_main_window():
    """Maya's main window as a QMainWindow, or None where there is none (batch, maya.standalone,
    the headless host)."""
    try:
        import maya.OpenMayaUI as omui
    except ImportError:
        return None
    pointer = omui.MQtUtil.mainWindow()
    if pointer is None:
        return None
    return wrapInstance(int(pointer), QtWidgets.QMainWindow)


def application():
    """The running QApplication; in a Python process without one (the headless host, a script)
    a new one is made, on the offscreen platform when no display is set."""
    app = QtWidgets.QApplication.instance()
    if app is None:
        import os
        if not os.environ.get("DISPLAY") and not os.environ.get("WAYLAND_DISPLAY"):
            os.environ.setdefault("QT_QPA_PLATFORM", "offscreen")
        app = QtWidgets.QApplication([])
    return app

