# Building against a real Maya devkit instead of the headless host:
#   cmake -S . -B build-maya -DMAYA_LOCATION=/usr/autodesk/maya2018   (Linux)
#   cmake -S . -B build-maya -DMAYA_LOCATION="C:/Program Files/Autodesk/Maya2018" -A x64  (Windows)
#   cmake -S . -B build-maya -DMAYA_LOCATION=/Applications/Autodesk/maya2018/Maya.app/Contents (macOS)
# Only the plug-in is built then; the headless host, the stand-ins, the tests and the benchmarks
# need the headless host and are left out.
set(MAYA_LOCATION "" CACHE PATH "Root of a Maya installation or devkit; empty builds the headless host")

if(MAYA_LOCATION)
  find_path(MAYA_INCLUDE_DIR maya/MFnPlugin.h
    HINTS ${MAYA_LOCATION}/include ${MAYA_LOCATION}/devkit/include ${MAYA_LOCATION}/../../devkit/include
    REQUIRED NO_DEFAULT_PATH)
  set(maya_lib_hints ${MAYA_LOCATION}/lib ${MAYA_LOCATION}/Maya.app/Contents/MacOS ${MAYA_LOCATION}/MacOS)
  foreach(lib OpenMaya Foundation OpenMayaUI)
    find_library(MAYA_${lib}_LIBRARY ${lib} HINTS ${maya_lib_hints} REQUIRED NO_DEFAULT_PATH)
    list(APPEND MAYA_LIBRARIES ${MAYA_${lib}_LIBRARY})
  endforeach()

  # The plug-in's libraries link "mayahost"; with a devkit that name stands for Maya's own API.
  add_library(mayahost INTERFACE)
  target_include_directories(mayahost INTERFACE ${MAYA_INCLUDE_DIR})
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
