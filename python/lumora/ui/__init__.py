"""The Face Capture UI: a menu on Maya's main window and the capture window.

    import lumora.ui
    lumora.ui.show()          # the capture window

Qt is reached only through lumora.ui.qt (PySide2 or PySide6, whichever Maya ships).
"""


def show(node=None):
    """Shows the capture window, parented to Maya's main window; returns it."""
    from lumora.ui import window
    return window.show_window(node=node)


def close():
    """Closes the capture window and the menu's dialogs."""
    from lumora.ui import dialogs, window
    window.close_window()
    dialogs.close_all()
