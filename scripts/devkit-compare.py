#!/usr/bin/python3
"""Compares the headless host's Maya headers with a Maya devkit's, class by class.

For every class, enum and free function that host/include/maya declares, it reads both sides'
declarations from clang's JSON syntax tree (clang++-14 -Xclang -ast-dump=json) and reports what
a plug-in could see differently: a class, method or enumerator the devkit lacks, another header,
another base, and per method its return type, const-ness, virtual-ness, static-ness, access and
default arguments. Only what the host declares is compared; what the devkit has beyond it cannot
compile here, so a plug-in using it fails the host build first. A public base of the host's own
(headless::detail, e.g. the storage Maya's array classes share) is how the host shares an
implementation: its public methods are compared as the class's own, and it is not a base.

Differences the host keeps on purpose are listed, each with its reason, in the file given with
--accepted. Any other difference fails the check (exit 1); so does an accepted one that no
longer occurs, so the list stays true.

  devkit-compare.py --devkit DIR --host DIR [--accepted FILE] [--clang clang++-14]
"""

import argparse
import json
import pathlib
import re
import subprocess
import sys
import tempfile

NAMESPACE = re.compile(r"Autodesk::Maya::OpenMaya\d+::")
METHOD_KINDS = {"CXXMethodDecl", "CXXConstructorDecl", "CXXDestructorDecl", "CXXConversionDecl"}
# Headers that only carry macros or the namespace itself.
SKIPPED_HEADERS = {"MApiNamespace.h", "MApiVersion.h"}
# Where the host keeps the internals its Maya headers declare.
HOST_NAMESPACE = "headless::detail"


def syntax_trees(clang, include_flags, headers, namespace="OpenMaya"):
    """Every top-level declaration clang dumps for the namespace, in source order."""
    with tempfile.TemporaryDirectory() as work:
        source = pathlib.Path(work) / "all.cpp"
        source.write_text("".join(f"#include <maya/{h}>\n" for h in headers))
        command = [clang, "-std=c++17", "-fsyntax-only", "-DMNoVersionString", "-DLINUX",
                   "-D_BOOL", "-DREQUIRE_IOSTREAM", *include_flags, "-Xclang", "-ast-dump=json",
                   "-Xclang", f"-ast-dump-filter={namespace}", str(source)]
        text = subprocess.run(command, check=True, capture_output=True, text=True).stdout
    decoder = json.JSONDecoder()
    trees, at = [], 0
    while True:
        while at < len(text) and text[at].isspace():
            at += 1
        if at >= len(text):
            return trees
        tree, at = decoder.raw_decode(text, at)
        trees.append(tree)


def plain(type_name):
    return NAMESPACE.sub("", type_name).replace("std::__cxx11::", "std::")


def type_of(node):
    return plain(node.get("type", {}).get("qualType", ""))


def parameter_type(node):
    """A parameter's type as it counts for the signature: a const by value does not."""
    name = type_of(node)
    return name[len("const "):] if name.startswith("const ") and not name.endswith(("&", "*")) else name


def constant_value(node):
    """The value clang computed for an enumerator's initializer, if it has one."""
    if "value" in node and node.get("kind") == "ConstantExpr":
        return int(node["value"])
    for child in node.get("inner", []):
        value = constant_value(child)
        if value is not None:
            return value
    return None


def split_function_type(qual_type):
    """'R (A, B) const &' -> ('R', 'const &'): the return type and the qualifiers."""
    qual_type = re.sub(r"\s*noexcept(\([^()]*\))?$", "", qual_type)
    end = qual_type.rfind(")")
    depth = 0
    for i in range(end, -1, -1):
        if qual_type[i] == ")":
            depth += 1
        elif qual_type[i] == "(":
            depth -= 1
            if depth == 0:
                quals = qual_type[end + 1:].strip()
                return qual_type[:i].strip(), quals
    return qual_type, ""


def expression(node):
    """A default argument, written the same on both sides for the same value."""
    kind = node.get("kind")
    inner = node.get("inner", [])
    if kind in ("GNUNullExpr", "CXXNullPtrLiteralExpr") or node.get("castKind") == "NullToPointer":
        return "null"
    if kind in ("IntegerLiteral", "CXXBoolLiteralExpr", "StringLiteral"):
        return str(node.get("value"))
    if kind == "FloatingLiteral":
        return repr(float(node.get("value")))
    if kind == "DeclRefExpr":
        return node.get("referencedDecl", {}).get("name", "?")
    if kind == "UnaryOperator":
        return node.get("opcode", "") + expression(inner[0])
    if kind in ("CXXConstructExpr", "CXXTemporaryObjectExpr") and not inner:
        return type_of(node) + "()"
    if inner:
        return expression(inner[0])
    return kind or "?"


class Api:
    """What one side declares: classes by name, and free functions."""

    def __init__(self, trees, host_trees=()):
        self.classes = {}
        self.functions = []
        self._file = ""
        for tree in trees:
            self._walk_namespace(tree)
        # The host's own bases, by the name a derived class gives them.
        self.internal = {}
        for tree in host_trees:
            self._walk_internal(tree, HOST_NAMESPACE + "::")
        for record in self.classes.values():
            self._fold_internal_bases(record)

    def _walk_internal(self, node, prefix):
        """The host's classes and class template instances, named as a base names them."""
        saved, self.classes = self.classes, self.internal
        for child in node.get("inner", []):
            if child.get("kind") == "CXXRecordDecl":
                self._record(child, prefix)
            for instance in child.get("inner", []) if child.get("kind") == "ClassTemplateDecl" else []:
                if instance.get("kind") == "ClassTemplateSpecializationDecl":
                    arguments = [plain(a["type"]["qualType"]) for a in instance.get("inner", [])
                                 if a.get("kind") == "TemplateArgument"]
                    self._record(instance, "", f"{prefix}{instance['name']}<{', '.join(arguments)}>")
        self.classes = saved

    def _fold_internal_bases(self, record):
        # A base that cannot be read stays a base, and so a difference.
        for base in [b for b in record["bases"] if b in self.internal]:
            record["bases"].remove(base)
            for method in self.internal[base]["methods"]:
                if method["access"] == "public" and method["name"] != "operator=":
                    record["methods"].append(method)

    def _track(self, node):
        # clang names a location's file only when it changes: follow the dump's order.
        if isinstance(node, dict):
            if "offset" in node and "file" in node:
                self._file = node["file"]
            for key, value in node.items():
                if key != "inner":
                    self._track(value)
        elif isinstance(node, list):
            for value in node:
                self._track(value)

    def _walk_namespace(self, node):
        self._track({k: v for k, v in node.items() if k != "inner"})
        for child in node.get("inner", []):
            kind = child.get("kind")
            if kind == "CXXRecordDecl":
                self._record(child, "")
            elif kind == "FunctionDecl":
                self._track(child)
                self.functions.append(self._function(child, "public", friend=True))
            elif kind == "NamespaceDecl":
                self._walk_namespace(child)
            else:
                self._track(child)

    def _record(self, node, outer, name=None):
        self._track({k: v for k, v in node.items() if k != "inner"})
        if not node.get("completeDefinition") or "name" not in node:
            self._track(node.get("inner", []))
            return
        name = name or outer + node["name"]
        record = {
            "header": pathlib.Path(self._file).name,
            "bases": [plain(b["type"]["qualType"]) for b in node.get("bases", [])],
            "methods": [],
            "enums": {},
            "typedefs": {},
        }
        self.classes[name] = record
        access = "public" if node.get("tagUsed") == "struct" else "private"
        for child in node.get("inner", []):
            kind = child.get("kind")
            if kind == "AccessSpecDecl":
                access = child["access"]
            elif child.get("isImplicit"):
                self._track(child)
            elif kind == "CXXRecordDecl" and access != "private":
                self._record(child, name + "::")
                continue
            elif kind in METHOD_KINDS:
                self._track(child)
                record["methods"].append(self._function(child, access))
            elif kind == "FriendDecl":
                self._track(child)
                for friend in child.get("inner", []):
                    if friend.get("kind") == "FunctionDecl":
                        self.functions.append(self._function(friend, "public", friend=True))
            elif kind == "EnumDecl" and access != "private":
                self._track(child)
                values, next_value = {}, 0
                for constant in child.get("inner", []):
                    if constant.get("kind") != "EnumConstantDecl":
                        continue
                    explicit = constant_value(constant)
                    value = next_value if explicit is None else explicit
                    values[constant["name"]] = value
                    next_value = value + 1
                record["enums"][child.get("name", "")] = values
            elif kind in ("TypedefDecl", "TypeAliasDecl") and access != "private":
                self._track(child)
                record["typedefs"][child["name"]] = type_of(child)
            else:
                self._track(child)

    def _function(self, node, access, friend=False):
        params = [p for p in node.get("inner", []) if p.get("kind") == "ParmVarDecl"]
        returns, quals = split_function_type(type_of(node))
        inner_kinds = {c.get("kind") for c in node.get("inner", [])}
        return {
            "name": node["name"],
            "params": tuple(parameter_type(p) for p in params),
            "quals": quals,
            "returns": returns,
            "access": access,
            "friend": friend,
            "static": node.get("storageClass") == "static",
            "virtual": bool(node.get("virtual")) or bool(inner_kinds & {"OverrideAttr", "FinalAttr"}),
            "pure": bool(node.get("pure")),
            "deleted": bool(node.get("explicitlyDeleted")),
            "defaults": tuple(expression(p["inner"][0]) if p.get("init") else None for p in params),
        }

    def is_virtual(self, class_name, method):
        """Declared virtual, or overriding a virtual of a base class."""
        if method["virtual"]:
            return True
        record = self.classes.get(class_name)
        for base in record["bases"] if record else []:
            for candidate in self.classes.get(base, {}).get("methods", []):
                if key(candidate) == key(method) and self.is_virtual(base, candidate):
                    return True
        return False


def key(method):
    return method["name"], method["params"], method["quals"]


def signature(method):
    text = f"{method['name']}({', '.join(method['params'])})"
    return text + (" " + method["quals"] if method["quals"] else "")


def compare(host, devkit):
    differences = []
    for name, record in sorted(host.classes.items()):
        theirs = devkit.classes.get(name)
        if theirs is None:
            differences.append(f"{name}: not in the devkit")
            continue
        if record["header"] != theirs["header"] and "::" not in name:
            differences.append(f"{name}: declared in {record['header']}, the devkit's in {theirs['header']}")
        if record["bases"] != theirs["bases"]:
            differences.append(f"{name}: bases {record['bases']}, the devkit's {theirs['bases']}")
        for method in record["methods"]:
            if method["access"] == "private" or method["deleted"]:
                continue
            if method["name"].startswith("~") and not any(m["name"] == method["name"] for m in theirs["methods"]):
                continue  # declared here, implicit there
            where = f"{name}::{signature(method)}"
            same = [m for m in theirs["methods"] if key(m) == key(method)]
            if not same:
                others = [signature(m) for m in theirs["methods"] if m["name"] == method["name"]
                          and m["access"] != "private"]
                differences.append(f"{where}: not in the devkit"
                                   + (f" (it has {'; '.join(others)})" if others else ""))
                continue
            mine, their = method, same[0]
            if their["access"] == "private" or their["deleted"]:
                differences.append(f"{where}: private or deleted in the devkit")
                continue
            if mine["returns"] != their["returns"]:
                differences.append(f"{where}: returns {mine['returns']}, the devkit's {their['returns']}")
            if mine["access"] != their["access"]:
                differences.append(f"{where}: {mine['access']}, the devkit's {their['access']}")
            if mine["static"] != their["static"]:
                differences.append(f"{where}: static {mine['static']}, the devkit's {their['static']}")
            mine_virtual, their_virtual = host.is_virtual(name, mine), devkit.is_virtual(name, their)
            if mine_virtual != their_virtual:
                differences.append(f"{where}: virtual {mine_virtual}, the devkit's {their_virtual}")
            if mine["pure"] != their["pure"]:
                differences.append(f"{where}: pure {mine['pure']}, the devkit's {their['pure']}")
            if mine["defaults"] != their["defaults"]:
                differences.append(f"{where}: defaults {list(mine['defaults'])}, "
                                   f"the devkit's {list(their['defaults'])}")
        for enum, values in record["enums"].items():
            their_values = theirs["enums"].get(enum)
            if their_values is None:
                differences.append(f"{name}::{enum}: enum not in the devkit")
                continue
            for constant, value in values.items():
                if constant not in their_values:
                    differences.append(f"{name}::{constant}: enumerator not in the devkit")
                elif their_values[constant] != value:
                    differences.append(f"{name}::{constant}: value {value}, the devkit's {their_values[constant]}")
        for typedef, aliased in record["typedefs"].items():
            their_type = theirs["typedefs"].get(typedef)
            if their_type is None:
                differences.append(f"{name}::{typedef}: type not in the devkit")
            elif their_type != aliased:
                differences.append(f"{name}::{typedef}: {aliased}, the devkit's {their_type}")
    their_functions = {key(f): f for f in devkit.functions}
    for function in host.functions:
        their = their_functions.get(key(function))
        if their is None:
            differences.append(f"{signature(function)}: free function not in the devkit")
        elif their["returns"] != function["returns"] or their["defaults"] != function["defaults"]:
            differences.append(f"{signature(function)}: returns or defaults differ from the devkit's")
    return sorted(set(differences))


def accepted_lines(path):
    """Lines of the accepted list: a difference, then '  # why' on the same line."""
    accepted = {}
    if path:
        for line in pathlib.Path(path).read_text().splitlines():
            text = line.split("  #")[0].strip()
            if text and not text.startswith("#"):
                accepted[text] = line
    return accepted


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--devkit", required=True, help="devkit root (has include/maya)")
    parser.add_argument("--host", required=True, help="the host's include folder (has maya/)")
    parser.add_argument("--accepted", help="differences kept on purpose, one a line")
    parser.add_argument("--clang", default="clang++-14")
    args = parser.parse_args()

    host_include = pathlib.Path(args.host)
    headers = sorted(p.name for p in (host_include / "maya").glob("*.h") if p.name not in SKIPPED_HEADERS)
    host_flags = ["-I", str(host_include)]
    host = Api(syntax_trees(args.clang, host_flags, headers),
               syntax_trees(args.clang, host_flags, headers, HOST_NAMESPACE))
    devkit = Api(syntax_trees(args.clang, ["-isystem", str(pathlib.Path(args.devkit) / "include")], headers))

    differences = compare(host, devkit)
    accepted = accepted_lines(args.accepted)
    unexpected = [d for d in differences if d not in accepted]
    stale = [a for a in accepted if a not in differences]
    for d in unexpected:
        print(f"difference: {d}")
    for a in stale:
        print(f"accepted but no longer found (remove it from the list): {a}")
    print(f"devkit-compare: {len(host.classes)} classes, "
          f"{sum(len(c['methods']) for c in host.classes.values())} methods compared; "
          f"{len(differences)} differences, {len(differences) - len(unexpected)} accepted")
    return 1 if unexpected or stale else 0


if __name__ == "__main__":
    sys.exit(main())
