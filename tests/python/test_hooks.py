"""The plug-in's Python texts run in this interpreter: at load, around every rebuild of a
node's outputs, and at unload; MEL's python() and hostbatch's FILE.py run Python too."""

import os
import subprocess
import sys

import maya.cmds as cmds
import maya.mel as mel
import pytest

from conftest import SOURCE_DIR, program, write_recording_lumora


def test_load_and_unload_run_the_plugin_texts(recording_lumora):
    cmds.loadPlugin("lumoraMocap")
    assert recording_lumora.calls == ["init"]
    cmds.unloadPlugin("lumoraMocap")
    assert recording_lumora.calls == ["init", "cleanup"]


@pytest.mark.skipif(not os.path.isdir(os.path.join(SOURCE_DIR, "python", "lumora")),
                    reason="the repository holds no python/lumora package yet")
def test_the_repository_package_loads_cleanly(output):
    if cmds.pluginInfo("lumoraMocap", q=True, loaded=True):
        cmds.file(new=True, force=True)
        cmds.unloadPlugin("lumoraMocap")
    cmds.loadPlugin("lumoraMocap")
    import lumora  # noqa: F401 - the texts imported it from the repository
    assert not [text for text, kind in output if text.startswith("# Error")]


def test_python_from_mel_shows_a_failure_as_the_script_editor_does(output):
    assert mel.eval('python("import math; math.floor(2.5)")') is None
    assert mel.eval('python("3 * 7")') == "21"
    with pytest.raises(RuntimeError, match="python: the Python text failed"):
        mel.eval('python("undefined_name")')
    errors = [text for text, kind in output if text.startswith("# Error: ")]
    assert errors[0] == "# Error: Traceback (most recent call last):"
    assert errors[-1] == "# Error: NameError: name 'undefined_name' is not defined"


def run(arguments, tmp_path, **extra):
    environment = dict(os.environ, PYTHONPATH=write_recording_lumora(tmp_path) + os.pathsep + os.environ["PYTHONPATH"])
    environment.update(extra)
    return subprocess.run(arguments, env=environment, cwd=str(tmp_path), stdout=subprocess.PIPE,
                          stderr=subprocess.STDOUT, universal_newlines=True, timeout=120)


def test_hostbatch_runs_python_files_and_the_hooks(tmp_path):
    script = tmp_path / "take.py"
    script.write_text(
        "import lumora, maya.cmds as cmds\n"
        "cmds.loadPlugin('lumoraMocap')\n"
        "print('hooks', lumora.calls)\n"
        "print(cmds.createNode('LMRARealTimeDevice', n='dev'))\n"
        "import maya.utils; maya.utils.executeDeferred(print, 'deferred')\n"
        "raise ValueError('stop here')\n")
    ran = run([program("hostbatch"), str(script), "-c", 'python("print(40 + 2)")'], tmp_path)
    assert ran.returncode == 1, ran.stdout
    lines = ran.stdout.splitlines()
    assert lines[:2] == ["hooks ['init']", "dev"]
    assert "# Error: ValueError: stop here" in lines
    assert "42" in lines  # later scripts still run without -stop-on-error
    # A deferred call is an idle event: served once the script is done, never in batch mode.
    assert lines.index("deferred") < lines.index("42")
    (tmp_path / "batch").mkdir()
    ran = run([program("hostbatch"), "-batch", str(script)], tmp_path / "batch")
    assert "dev" in ran.stdout.splitlines() and "deferred" not in ran.stdout.splitlines()


def test_standalone_in_a_python3_process(tmp_path):
    # The acceptance line, then the end of the session: the exit message first, then the
    # plug-in's unload text, then nothing is left.
    code = (
        "import maya.standalone; maya.standalone.initialize(); import maya.cmds as cmds; "
        "cmds.loadPlugin('lumoraMocap'); print(cmds.createNode('LMRARealTimeDevice'))\n"
        "import lumora, maya.api.OpenMaya as om\n"
        "om.MSceneMessage.addCallback(om.MSceneMessage.kMayaExiting, lambda d: print('exiting', lumora.calls))\n"
        "maya.standalone.uninitialize()\n"
        "print('after', lumora.calls)\n")
    ran = run([sys.executable, "-c", code], tmp_path)
    assert ran.returncode == 0, ran.stdout
    assert ran.stdout.splitlines() == ["lMRARealTimeDevice1", "exiting ['init']", "after ['init', 'cleanup']"]


def test_one_interpreter_per_process():
    # What a python3 process loads never brings a libpython of its own.
    import glob

    import _mayahost

    libraries = [_mayahost.__file__, os.path.join(os.path.dirname(program("hostbatch")), "..", "lib", "libmayahost.so")]
    libraries += glob.glob(os.path.join(os.environ["MAYA_PLUG_IN_PATH"], "*.so"))
    for library in libraries:
        needed = subprocess.run(["readelf", "-d", library], stdout=subprocess.PIPE, universal_newlines=True,
                                check=True).stdout
        assert "libpython" not in needed, library
    hostbatch = subprocess.run(["readelf", "-d", program("hostbatch")], stdout=subprocess.PIPE,
                               universal_newlines=True, check=True).stdout
    assert "libpython" in hostbatch  # the embedding program brings the one it runs
