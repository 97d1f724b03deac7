#!/usr/bin/env bash
# tests/install/check_module.sh BUILD_DIR: installs a devkit build of the plug-in into temporary
# module folders and checks the module: the .mod entries (this build's line added beside another
# build's entry and replaced, not repeated, by a second install), the plug-in and the Python
# package in their folders, and that the libraries Maya does not ship resolve inside the module.
set -euo pipefail
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
fail() { echo "check_module: $*" >&2; exit 1; }

cache() { sed -n "s/^$1:[A-Z]*=//p" "$build/CMakeCache.txt"; }
version=$(sed -n 's/^#define MAYA_APP_VERSION \([0-9]*\).*/\1/p' "$(cache MAYA_INCLUDE_DIR)/maya/MTypes.h")
project_version=$(sed -n 's/^project(LumoraMocap VERSION \([0-9.]*\).*/\1/p' "$(cache CMAKE_HOME_DIRECTORY)/CMakeLists.txt")
[ -n "$version" ] && [ -n "$project_version" ] || fail "cannot tell the devkit's or the project's version"
module=lumoraMocap/$version-linux
line="+ MAYAVERSION:$version PLATFORM:linux lumoraMocap $project_version ./$module"

# Another build's entry, already installed in the same prefix, must survive.
other="+ MAYAVERSION:2099 PLATFORM:win64 lumoraMocap 9.9.9 ./lumoraMocap/2099-win64"
printf '%s\nPATH+:=plug-ins\n' "$other" > "$prefix/lumoraMocap.mod"
for round in 1 2; do
  cmake --install "$build" --prefix "$prefix" >/dev/null
done
expected=$(printf '%s\nPATH+:=plug-ins\n%s' "$other" "$line")
[ "$(cat "$prefix/lumoraMocap.mod")" = "$expected" ] ||
  fail "lumoraMocap.mod holds:"$'\n'"$(cat "$prefix/lumoraMocap.mod")"$'\n'"expected:"$'\n'"$expected"

plugin=$prefix/$module/plug-ins/lumoraMocap.so
[ -f "$plugin" ] || fail "no plug-in at $plugin"
for file in scripts/lumora/__init__.py scripts/lumora/lib.py scripts/lumora/ui/window.py; do
  [ -f "$prefix/$module/$file" ] || fail "no $file in the module"
done
[ -d "$prefix/$module/icons" ] || fail "no icons folder in the module"
nm -D --defined-only "$plugin" | grep ' MApiVersion$' >/dev/null || fail "the plug-in does not export MApiVersion"

# Each library Maya does not ship resolves inside the module, or is linked statically.
deps=$(ldd "$plugin")
for lib in libusbmuxd libplist libcrypto; do
  if grep -q "$lib" <<<"$deps"; then
    grep "$lib" <<<"$deps" | grep -q "=> $prefix/$module/plug-ins/" ||
      fail "$lib does not resolve inside the module:"$'\n'"$deps"
  elif readelf -d "$plugin" | grep -q "$lib"; then
    fail "$lib is needed but not found:"$'\n'"$deps"
  fi
done
echo "check_module: $line: plug-in, Python package, icons and libraries in place"
