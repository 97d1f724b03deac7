"""The lumora package as Maya 2022 runs it: every file parses as Python 3.7 and calls nothing newer,
and the README's example sessions run as written."""

import ast
import os
import re

import pytest

from conftest import SOURCE_DIR

PACKAGE_DIR = os.path.join(SOURCE_DIR, "python", "lumora")

# Library calls newer than Python 3.7, by module and name, and methods by name alone.
NEWER_CALLS = {("functools", "cache"), ("functools", "cached_property"), ("math", "prod"), ("math", "isqrt"),
               ("math", "dist"), ("math", "comb"), ("math", "perm"), ("shlex", "join"), ("itertools", "pairwise"),
               ("statistics", "fmean"), ("typing", "Literal"), ("typing", "Protocol"), ("typing", "TypedDict"),
               ("typing", "Final"), ("os", "waitstatus_to_exitcode")}
NEWER_METHODS = {"removeprefix", "removesuffix", "bit_count", "is_relative_to", "with_stem"}
NEWER_MODULES = {"zoneinfo", "graphlib", "tomllib"}
BUILTIN_GENERICS = {"list", "dict", "tuple", "set", "frozenset", "type"}


def newer_than_37(text, filename="<text>"):
    """Where text uses what Maya 2022's Python 3.7 lacks: one "line: what" each."""
    tree = ast.parse(text, filename, feature_version=(3, 7))  # raises SyntaxError on newer syntax
    found = []
    for node in ast.walk(tree):
        if isinstance(node, ast.Attribute):
            if node.attr in NEWER_METHODS or (
                    isinstance(node.value, ast.Name) and (node.value.id, node.attr) in NEWER_CALLS):
                found.append("{}: {}".format(node.lineno, node.attr))
        elif isinstance(node, ast.ImportFrom):
            for alias in node.names:
                if (node.module, alias.name) in NEWER_CALLS or (node.module or "").split(".")[0] in NEWER_MODULES:
                    found.append("{}: from {} import {}".format(node.lineno, node.module, alias.name))
        elif isinstance(node, ast.Import):
            found += ["{}: import {}".format(node.lineno, a.name) for a in node.names if a.name in NEWER_MODULES]
        elif isinstance(node, ast.Subscript) and isinstance(node.value, ast.Name):
            if node.value.id in BUILTIN_GENERICS:  # list[int] fails at run time before 3.9
                found.append("{}: {}[...]".format(node.lineno, node.value.id))
    return sorted(found, key=lambda text: int(text.split(":")[0]))


def package_files():
    files = []
    for folder, _, names in os.walk(PACKAGE_DIR):
        files += [os.path.join(folder, name) for name in sorted(names) if name.endswith(".py")]
    return files


def test_every_package_file_is_python_37():
    files = package_files()
    assert len(files) >= 7
    for path in files:
        with open(path) as stream:
            assert newer_than_37(stream.read(), path) == [], path


def test_the_check_finds_what_37_lacks():
    assert newer_than_37("x = 'ab'.removeprefix('a')\ny: list[int] = []\nimport math\nmath.prod([1])\n") == [
        "1: removeprefix", "2: list[...]", "4: prod"]
    with pytest.raises(SyntaxError):
        newer_than_37("if (n := 3):\n    pass\n")


def readme_examples():
    """The ```python blocks of the README's section on the lumora package, in order."""
    with open(os.path.join(SOURCE_DIR, "README.md")) as stream:
        text = stream.read()
    section = text.split("### The workflow in Python: the `lumora` package", 1)[1].split("\n### ", 1)[0]
    return re.findall(r"```python\n(.*?)```", section, re.S)


def test_the_readme_examples_run_as_written(scene, phone, tmp_path, monkeypatch, capsys):
    examples = readme_examples()
    assert len(examples) == 5  # capture, takes, rig, bake, scenes
    monkeypatch.setenv("HOME", str(tmp_path))  # ~/lumora_takes
    namespace = {"__name__": "__main__"}
    for example in examples:
        # The one change: the phone is phonesim on this machine.
        example = example.replace('"192.168.0.42", 35601', '"127.0.0.1", {}'.format(phone.ports["wifi"]))
        exec(compile(example, "README.md", "exec"), namespace)
    printed = capsys.readouterr().out
    assert "Status(code=1, text='Connected')" in printed
    assert "interview_take001 " in printed and "face.jawOpen" in printed
    assert namespace["scenes"].reload_clips() == [
        ("interview_take001_reader", str(tmp_path / "lumora_takes" / "interview_take001.clip"), True)]
