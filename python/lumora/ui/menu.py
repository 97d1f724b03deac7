"""The Face Capture menu on Maya's main window.

It is built with Qt on the main window's menu bar, so that it works on any QMainWindow (a test
builds it on one of its own). Installing twice leaves one menu; removing twice is harmless.
"""

from lumora.ui import qt
from lumora.ui.qt import QtWidgets

OBJECT_NAME = "lumoraFaceCaptureMenu"
TITLE = "Face Capture"
CAPTURE_WINDOW = "Capture Window\u2026"
LOAD_TAKE = "Load Take\u2026"
MAP_CHANNELS = "Map Channels to Rig\u2026"
BAKE_TAKE = "Bake Take to Keys\u2026"
HELP = "Help"
ITEMS = [CAPTURE_WINDOW, LOAD_TAKE, MAP_CHANNELS, BAKE_TAKE, HELP]


def install(main_window=None):
    """Adds the menu to main_window (default: Maya's main window); returns it, or None when
    there is no main window."""
    main_window = main_window if main_window is not None else qt.maya_main_window()
    if main_window is None:
        return None
    remove(main_window)
    menu = QtWidgets.QMenu(TITLE, main_window.menuBar())
    menu.setObjectName(OBJECT_NAME)
    menu.setTearOffEnabled(True)

    def item(text, slot, tip):
        action = menu.addAction(text)
        action.setObjectName(OBJECT_NAME + "_" + "".join(ch for ch in text if ch.isalnum()))
        action.setStatusTip(tip)
        action.triggered.connect(lambda *args: slot(main_window))
        return action

    item(CAPTURE_WINDOW, _capture_window, "Connect to the phone, capture, record takes")
    item(LOAD_TAKE, _load_take, "Load a take file into a new clip reader")
    item(MAP_CHANNELS, _map_channels, "Connect a device's or a take's channels to a blendShape or a rig")
    item(BAKE_TAKE, _bake_take, "Bake a loaded take onto the mapped rig as keys")
    menu.addSeparator()
    item(HELP, _help, "How to go from the phone to a baked take")
    main_window.menuBar().addMenu(menu)
    return menu


def find(main_window=None):
    """The installed menu, or None."""
    main_window = main_window if main_window is not None else qt.maya_main_window()
    if main_window is None or not qt.is_alive(main_window):
        return None
    return main_window.menuBar().findChild(QtWidgets.QMenu, OBJECT_NAME)


def remove(main_window=None):
    """Takes the menu off the main window, if it is there."""
    menu = find(main_window)
    while menu is not None:
        menu.menuAction().setVisible(False)
        menu.parentWidget().removeAction(menu.menuAction())
        menu.setObjectName("")
        menu.setParent(None)
        menu.deleteLater()
        menu = find(main_window)


def action(text, main_window=None):
    """The menu's item of that text (tests and scripts trigger it)."""
    menu = find(main_window)
    for candidate in menu.actions() if menu is not None else []:
        if candidate.text() == text:
            return candidate
    return None


def _capture_window(parent):
    from lumora.ui import window
    return window.show_window(parent)


def _load_take(parent):
    from lumora.ui import dialogs
    return dialogs.load_take_from_file(parent)


def _map_channels(parent):
    from lumora.ui import dialogs
    return dialogs.show(dialogs.MapDialog, parent)


def _bake_take(parent):
    from lumora.ui import dialogs
    return dialogs.show(dialogs.BakeDialog, parent)


def _help(parent):
    from lumora.ui import dialogs
    return dialogs.show(dialogs.HelpDialog, parent)
