"""Every command of the host, built in or registered by a plug-in, as cmds.name(*args, **flags).

Flags go by long or short name; a flag given several times takes a list; failures raise
RuntimeError with the command's message.
"""

import _mayahost


def _command(name):
    def command(*args, **flags):
        if not _mayahost.ready():
            raise RuntimeError("maya.standalone.initialize() has not run in this process.")
        return _mayahost.call(name, args, flags)

    command.__name__ = name
    command.__qualname__ = name
    return command


def __getattr__(name):
    if name.startswith("__") or not _mayahost.command_exists(name):
        raise AttributeError("module 'maya.cmds' has no attribute '%s'" % name)
    return _command(name)


def __dir__():
    return sorted(_mayahost.command_names())
