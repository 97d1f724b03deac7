"""Runs the plug-in's Python texts as Maya would, in one __main__-like namespace, and checks
what they do to the lumora package.

usage: lumora_texts_check.py (with|without) PACKAGE_PARENT INIT ON OFF CLEANUP
The last four are files holding the exact texts. Prints "ok" and exits 0 when every check holds.
"""

import sys


def run(path, namespace):
    with open(path) as text:
        exec(compile(text.read(), path, "exec"), namespace)


def main():
    mode, package_parent, init, on, off, cleanup = sys.argv[1:7]
    namespace = {"__name__": "__main__"}
    if mode == "with":
        sys.path.insert(0, package_parent)
        run(init, namespace)
        import lumora
        import lumora.lib
        assert lumora.lib.initialized, "plugin_init did not run"
        assert lumora.suppress_on_attr_refresh is False, "the flag starts True"
        run(on, namespace)
        assert lumora.suppress_on_attr_refresh is True, "the flag is not set during a rebuild"
        run(off, namespace)
        assert lumora.suppress_on_attr_refresh is False, "the flag stays set after a rebuild"
        run(cleanup, namespace)
        assert not lumora.lib.initialized, "plugin_cleanup did not run"
    else:
        sys.path = [p for p in sys.path if p != package_parent]
        for path in (init, on, off, cleanup):
            run(path, namespace)  # raises if a text lets an error through
        assert "lumora" not in sys.modules, "a lumora package was found"
    print("ok")


main()
