"""The capture window on the headless host, offscreen, against phonesim: create a device, connect
over Wi-Fi, start capturing, record a take with its video and save a screenshot of the window while
the take runs. Run by scripts/demo:

    capture_window.py WIFI_PORT TAKES_FOLDER SCREENSHOT

with PYTHONPATH holding build/python and python/, and MAYA_PLUG_IN_PATH build/plug-ins.
"""

import os
import sys
import time

import maya.standalone

maya.standalone.initialize(name="python")

import maya.cmds as cmds  # noqa: E402

from lumora.ui import qt  # noqa: E402

DEADLINE_SECONDS = 30.0


def fail(text):
    print("capture window: FAILED: " + text)
    sys.exit(1)


def run_for(app, seconds, until=None):
    """Runs the Qt event loop (the window's timer serves Maya's idle events) for seconds, or
    until until() holds; gives whether it held."""
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        app.processEvents()
        if until is not None and until():
            return True
        time.sleep(0.01)
    return until is None


def main(wifi_port, folder, screenshot):
    cmds.loadPlugin("lumoraMocap")
    app = qt.application()
    from lumora.ui import window

    shown = window.show_window()
    shown.resize(1100, 1080)  # room for the messages in the picture
    if not shown.create_device():
        fail("New: " + shown.note_label.text())
    shown.transport_combo.setCurrentIndex(window.WIFI)
    shown.address_edit.setText("127.0.0.1")
    shown.port_edit.setText(str(wifi_port))
    shown.folder_edit.setText(folder)
    shown.folder_edit.editingFinished.emit()
    shown.shot_edit.setText("demo")
    shown.shot_edit.editingFinished.emit()
    shown.video_check.setChecked(True)
    if not shown.connect_phone():
        fail("Connect: " + shown.note_label.text())
    print("  Connect: {} ({} channels in the table)".format(shown.status_label.text(), len(shown.rows)))

    shown.start_capture()
    run_for(app, 1.0)
    shown.takes.record_take()
    if not run_for(app, DEADLINE_SECONDS, lambda: shown.save_button.isEnabled()):
        fail("Record take: " + shown.note_label.text())
    run_for(app, 2.0)  # a take of two seconds, values moving meanwhile
    if not shown.grab().save(screenshot):
        fail("could not write " + screenshot)
    print("  {}: {}; {} frames a second, last frame {}, {} dropped".format(
        os.path.relpath(screenshot), shown.status_label.text(), shown.rate_label.text(), shown.age_label.text(),
        shown.dropped_label.text()))
    path = shown.takes.stop_and_save()  # returns at once; the window's refresh sees the save end
    if path is None:
        fail("Stop and save: " + shown.note_label.text())
    print("  Stop and save: {}".format(shown.note_label.text()))
    if not run_for(app, 2 * DEADLINE_SECONDS, lambda: shown.takes.saving() is None):
        fail("Stop and save: still saving after {:g} s: {}".format(2 * DEADLINE_SECONDS, shown.note_label.text()))
    take = shown.takes.last_take
    if take is None or take.path != path:
        fail("Stop and save: " + shown.note_label.text())
    print("  Record take, Stop and save: {} ({} frames, {:.2f} s, video {} bytes)".format(
        os.path.relpath(take.path), take.frames, take.duration, take.video_bytes))
    shown.disconnect_phone()
    shown.close()


if __name__ == "__main__":
    if len(sys.argv) != 4:
        fail("usage: capture_window.py WIFI_PORT TAKES_FOLDER SCREENSHOT")
    main(int(sys.argv[1]), sys.argv[2], sys.argv[3])
