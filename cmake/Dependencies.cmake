set(THREADS_PREFER_PTHREAD_FLAG ON)
find_package(Threads REQUIRED)
find_package(OpenSSL REQUIRED COMPONENTS Crypto)
find_package(Boost 1.74 REQUIRED)          # header-only: Asio
find_package(PkgConfig REQUIRED)
pkg_check_modules(USBMUXD REQUIRED IMPORTED_TARGET libusbmuxd-2.0)
pkg_check_modules(PLIST REQUIRED IMPORTED_TARGET libplist-2.0)
if(NOT MAYA_LOCATION)  # the tests and benchmarks run on the headless host only
  find_package(GTest REQUIRED)
  find_package(benchmark REQUIRED)
endif()
