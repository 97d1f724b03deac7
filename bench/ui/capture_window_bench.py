"""What the capture window costs Maya's main thread: the time of one refresh (status, health and
every shown channel's value) while the device captures from phonesim, for all channels and for a
filtered table. The window refreshes at most ten times a second, so ten refreshes are its share
of a second. Run from the repository's top folder with build/ built:

    /usr/bin/python3 bench/ui/capture_window_bench.py [BUILD_DIR]
"""

import os
import subprocess
import sys
import time

TOP = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
BUILD = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(TOP, "build"))
sys.path[:0] = [os.path.join(BUILD, "python"), os.path.join(TOP, "python")]
os.environ["MAYA_PLUG_IN_PATH"] = os.path.join(BUILD, "plug-ins")
os.environ.setdefault("QT_QPA_PLATFORM", "offscreen")

REFRESHES = 300


def start_phone():
    phone = subprocess.Popen([os.path.join(BUILD, "bin", "phonesim"), "--bind", "127.0.0.1", "--udp-port", "0",
                              "--usb-port", "0", "--rate", "60"], stdout=subprocess.PIPE, universal_newlines=True)
    for line in phone.stdout:
        words = line.split()
        if words[1:3] == ["wifi", "udp"]:
            return phone, int(words[3].rsplit(":", 1)[1])
    raise SystemExit("phonesim did not start")


def main():
    import maya.standalone
    maya.standalone.initialize()
    import maya.cmds as cmds
    from lumora.ui import qt, window

    cmds.loadPlugin("lumoraMocap")
    app = qt.application()
    phone, port = start_phone()
    try:
        shown = window.show_window()
        shown.create_device()
        shown.address_edit.setText("127.0.0.1")
        shown.port_edit.setText(str(port))
        if not shown.connect_phone():
            raise SystemExit("cannot connect to phonesim")
        shown.start_capture()
        deadline = time.monotonic() + 1.0
        while time.monotonic() < deadline:  # frames flowing, every bar drawn once
            app.processEvents()
        shown.timer.stop()
        shown._serve_idle_events = False  # the refresh alone, not the host's idle work
        print("capture window refresh, {} channels, {} refreshes each:".format(len(shown.rows), REFRESHES))
        for title, words in (("all channels", ""), ("filter 'eye'", "eye")):
            shown.filter_edit.setText(words)
            shown_rows = sum(not shown.channel_table.isRowHidden(row) for row in shown.rows.values())
            wall, cpu = time.perf_counter(), time.process_time()
            for _ in range(REFRESHES):
                shown.refresh()
            wall = (time.perf_counter() - wall) / REFRESHES * 1000
            cpu = (time.process_time() - cpu) / REFRESHES * 1000
            print("  {:<13} {:3d} rows shown: {:.2f} ms wall, {:.2f} ms CPU a refresh; at 10 a second {:.1f} % "
                  "of the main thread".format(title, shown_rows, wall, cpu, wall))
        shown._serve_idle_events = True
        shown.disconnect_phone()
        shown.close()
    finally:
        phone.terminate()
        phone.communicate(timeout=30)


if __name__ == "__main__":
    main()
