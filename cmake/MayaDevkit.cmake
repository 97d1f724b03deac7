# Building against a real Maya devkit instead of the headless host:
#   cmake -S . -B build-maya -DMAYA_LOCATION=/usr/autodesk/maya2022   (Linux)
#   cmake -S . -B build-maya -DMAYA_LOCATION="C:/Program Files/Autodesk/Maya2022" -A x64  (Windows)
#   cmake -S . -B build-maya -DMAYA_LOCATION=/Applications/Autodesk/maya2022/Maya.app/Contents (macOS)
# Only the plug-in is built then; the headless host, the stand-ins, the tests and the benchmarks
# need the headless host and are left out. MAYA_LIBRARY_DIR points at Maya's libraries when they
# are not under MAYA_LOCATION (a bare devkit; the compile check links against empty stand-ins).
set(MAYA_LOCATION "" CACHE PATH "Root of a Maya installation or devkit; empty builds the headless host")
set(MAYA_LIBRARY_DIR "" CACHE PATH "Folder of Maya's libraries when not under MAYA_LOCATION")

if(MAYA_LOCATION)
  find_path(MAYA_INCLUDE_DIR maya/MFnPlugin.h
    HINTS ${MAYA_LOCATION}/include ${MAYA_LOCATION}/devkit/include ${MAYA_LOCATION}/../../devkit/include
    REQUIRED NO_DEFAULT_PATH)
  set(maya_lib_hints ${MAYA_LIBRARY_DIR} ${MAYA_LOCATION}/lib ${MAYA_LOCATION}/Maya.app/Contents/MacOS
                     ${MAYA_LOCATION}/MacOS)
  foreach(lib OpenMaya Foundation OpenMayaUI)
    find_library(MAYA_${lib}_LIBRARY ${lib} HINTS ${maya_lib_hints} REQUIRED NO_DEFAULT_PATH)
    list(APPEND MAYA_LIBRARIES ${MAYA_${lib}_LIBRARY})
  endforeach()

  # The devkit's version: the module file names it, and the plug-in exports it as MApiVersion.
  file(STRINGS ${MAYA_INCLUDE_DIR}/maya/MTypes.h maya_app_version_line REGEX "^#define MAYA_APP_VERSION [0-9]+")
  string(REGEX MATCH "[0-9]+$" MAYA_APP_VERSION "${maya_app_version_line}")
  if(NOT MAYA_APP_VERSION)
    message(FATAL_ERROR "Cannot read MAYA_APP_VERSION from ${MAYA_INCLUDE_DIR}/maya/MTypes.h")
  endif()
  message(STATUS "Maya devkit ${MAYA_APP_VERSION}: ${MAYA_INCLUDE_DIR}")

  # The plug-in's libraries link "mayahost"; with a devkit that name stands for Maya's own API.
  # Maya's headers are system headers: our warnings stay on our own code.
  add_library(mayahost INTERFACE)
  target_include_directories(mayahost SYSTEM INTERFACE ${MAYA_INCLUDE_DIR})
  target_link_libraries(mayahost INTERFACE ${MAYA_LIBRARIES} Threads::Threads)
  if(WIN32)
    target_compile_definitions(mayahost INTERFACE NT_PLUGIN REQUIRE_IOSTREAM _BOOL _WIN32_WINNT=0x0601)
    target_link_libraries(mayahost INTERFACE ws2_32 mswsock)
  elseif(APPLE)
    target_compile_definitions(mayahost INTERFACE OSMac_ MAC_PLUGIN _BOOL REQUIRE_IOSTREAM)
  else()
    target_compile_definitions(mayahost INTERFACE LINUX _BOOL REQUIRE_IOSTREAM)
  endif()
endif()
