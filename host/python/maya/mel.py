"""MEL on the headless host: the host's command scripts."""

import _mayahost


def eval(text):  # noqa: A001 - Maya's name
    """Runs the script; gives the last command's result. A failing command raises RuntimeError."""
    return _mayahost.mel_eval(text)
