set(THREADS_PREFER_PTHREAD_FLAG ON)
find_package(Threads REQUIRED)
find_package(OpenSSL REQUIRED COMPONENTS Crypto)
find_package(Boost 1.74 REQUIRED)          # header-only: Asio
# libusbmuxd (with libplist): through pkg-config, or in a devkit build through the CMake package
# that vcpkg's port exports (unofficial-libusbmuxd), which brings libplist with it.
if(MAYA_LOCATION)
  find_package(unofficial-libusbmuxd CONFIG QUIET)
endif()
add_library(lmra_usbmuxd INTERFACE)
if(unofficial-libusbmuxd_FOUND)
  target_link_libraries(lmra_usbmuxd INTERFACE unofficial::libusbmuxd::libusbmuxd)
else()
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(USBMUXD REQUIRED IMPORTED_TARGET libusbmuxd-2.0)
  pkg_check_modules(PLIST REQUIRED IMPORTED_TARGET libplist-2.0)
  target_link_libraries(lmra_usbmuxd INTERFACE PkgConfig::USBMUXD PkgConfig::PLIST)
endif()
if(NOT MAYA_LOCATION)  # the tests and benchmarks run on the headless host only
  find_package(GTest REQUIRED)
  find_package(benchmark REQUIRED)
  # Python in the headless host: Debian's python3 (a pyenv python3 may come first on PATH and
  # lacks Debian's packages), with pybind11 from Debian.
  if(EXISTS /usr/bin/python3 AND NOT Python3_EXECUTABLE)
    set(Python3_EXECUTABLE /usr/bin/python3 CACHE FILEPATH "The python3 of the host's Python tests")
  endif()
  find_package(Python3 3.7 REQUIRED COMPONENTS Interpreter Development)
  set(PYBIND11_FINDPYTHON ON)
  find_package(pybind11 2.6 CONFIG REQUIRED)
endif()
