"""The UI side of the API: the headless host has no main window."""


class MQtUtil(object):
    @staticmethod
    def mainWindow():
        """None: there is no Maya window to parent to."""
        return None
