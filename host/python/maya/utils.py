"""Deferred calls and the host's idle events."""

import _mayahost


def executeDeferred(fn, *args, **kwargs):
    """Runs fn (a callable, or a string of Python run in __main__) when the host is next idle:
    between hostbatch's commands, while a script sleeps or refreshes, or at processIdleEvents
    (a hostbatch -batch run, like Maya's batch mode, serves none by itself). Any thread may
    call it."""
    if isinstance(fn, str):
        text = fn

        def fn():
            exec(text, __import__("__main__").__dict__)

    elif not callable(fn):
        raise TypeError("executeDeferred takes a callable or a string of Python.")
    _mayahost.execute_deferred(lambda: fn(*args, **kwargs))


def processIdleEvents():
    """Serves the host's main loop once: pending device refreshes, messages of other threads,
    then the idle events queued before this call (MEL's evalDeferred, MGlobal's idle commands
    and tasks, executeDeferred); what they queue waits for the next call."""
    _mayahost.serve_main_loop()
