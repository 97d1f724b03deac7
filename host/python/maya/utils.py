"""Deferred calls and the host's idle events."""

import collections
import traceback

import _mayahost

# Main thread only, as Maya's deferred queue.
_deferred = collections.deque()


def executeDeferred(fn, *args, **kwargs):
    """Runs fn (a callable, or a string of Python) when the host is next idle."""
    if isinstance(fn, str):
        text = fn
        fn = lambda: exec(text, __import__("__main__").__dict__)  # noqa: E731
    _deferred.append((fn, args, kwargs))


def processIdleEvents():
    """Serves the host's main loop once: pending device refreshes, messages of other threads,
    then the deferred calls queued before this call (calls they queue wait for the next one)."""
    _mayahost.serve_main_loop()
    for _ in range(len(_deferred)):
        fn, args, kwargs = _deferred.popleft()
        try:
            fn(*args, **kwargs)
        except Exception:
            for line in traceback.format_exc().splitlines():
                print("# Error: " + line)
