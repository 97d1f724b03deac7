#!/usr/bin/env bash
# header_strictness.sh CXX INCLUDE_DIR: the host's headers reject what Maya's reject. The API's
# classes live in a versioned namespace, so a bare global forward declaration of one conflicts
# with its using-declaration; the same source with the header included compiles. Checked with
# CXX and, when installed, clang++-14 (GCC, against Maya's headers too, lets a forward
# declaration that follows the header through; clang rejects it).
set -uo pipefail
cxx=$1
include=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0

compile() {  # compile NAME SOURCE: syntax-checks SOURCE, output in $work/NAME.log
    printf '%s\n' "$2" >"$work/$1.cpp"
    "$compiler" -std=c++17 -fsyntax-only -Wall -Wextra -Werror -I "$include" "$work/$1.cpp" >"$work/$1.log" 2>&1
}

expect_ok() {
    if ! compile "$1" "$2"; then
        echo "FAIL: $1 should compile:"; cat "$work/$1.log"; failed=1
    fi
}

expect_error() {  # expect_error NAME PATTERN SOURCE
    if compile "$1" "$3"; then
        echo "FAIL: $1 compiled; Maya's headers reject it"; failed=1
    elif ! grep -Eq "$2" "$work/$1.log"; then
        echo "FAIL: $1 failed for another reason than /$2/:"; cat "$work/$1.log"; failed=1
    fi
}

check() {  # check COMPILER: every case with one compiler
compiler=$1
expect_ok included '#include <maya/MPlug.h>
#include <maya/MFnPlugin.h>
int count(const MPlug& plug) { return plug.isNull() ? 0 : 1; }
MStatus initializePlugin(MObject) { return MS::kSuccess; }'

if "$compiler" --version | grep -q clang; then
    expect_error forward_after_header 'conflicts|ambiguous' '#include <maya/MPlug.h>
class MPlug;
int count(const MPlug& plug);'
fi

expect_error forward_before_header 'conflicts|ambiguous' 'class MPlug;
#include <maya/MPlug.h>
int count(const MPlug& plug);'

# The hooks keep their C++ names, as in Maya: a C-linkage hook is refused at compile time.
expect_error hook_with_c_linkage 'linkage' '#include <maya/MFnPlugin.h>
extern "C" MStatus initializePlugin(MObject obj) { return MS::kSuccess; }'

}

check "$cxx"
if command -v clang++-14 >/dev/null && ! "$cxx" --version | grep -q clang; then check clang++-14; fi

[ $failed -eq 0 ] && echo "host headers: strict as Maya's"
exit $failed
