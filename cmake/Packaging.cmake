# `cmake --install <build> --prefix <modules folder>`.
#
# A devkit build (MAYA_LOCATION set) installs the plug-in as a Maya module, in a folder of its
# own per Maya version and platform, so that builds for several versions share one prefix:
#   <prefix>/lumoraMocap.mod                 one line per installed build, others' lines kept
#   <prefix>/lumoraMocap/<version>-<platform>/plug-ins/   lumoraMocap.so (.mll, .bundle), with
#                                            the libraries it needs that Maya does not ship
#   <prefix>/lumoraMocap/<version>-<platform>/scripts/    the Python package lumora
#   <prefix>/lumoraMocap/<version>-<platform>/icons/
# Maya reads the .mod file from a folder on MAYA_MODULE_PATH and adds the module's plug-ins,
# scripts and icons folders to its search paths.
#
# A headless build's plug-in needs the headless host and cannot load in Maya: it installs
# nothing, and says so.
if(WIN32)
  set_target_properties(lumoraMocap PROPERTIES SUFFIX ".mll")
elseif(APPLE)
  set_target_properties(lumoraMocap PROPERTIES SUFFIX ".bundle")
endif()

set(LMRA_MODULE_NAME lumoraMocap)

if(NOT MAYA_LOCATION)
  install(CODE "message(STATUS \"This is a headless build: it installs nothing. For a \
plug-in that Maya loads, build against a Maya devkit (cmake -S . -B build-maya \
-DMAYA_LOCATION=<Maya or devkit folder>) and install that build; see README, Installing into Maya.\")")
  return()
endif()

if(WIN32)
  set(LMRA_MAYA_PLATFORM win64)
elseif(APPLE)
  set(LMRA_MAYA_PLATFORM mac)
else()
  set(LMRA_MAYA_PLATFORM linux)
endif()
set(LMRA_MODULE_FOLDER ${LMRA_MODULE_NAME}/${MAYA_APP_VERSION}-${LMRA_MAYA_PLATFORM})
set(LMRA_MODULE_LINE "+ MAYAVERSION:${MAYA_APP_VERSION} PLATFORM:${LMRA_MAYA_PLATFORM} \
${LMRA_MODULE_NAME} ${PROJECT_VERSION} ./${LMRA_MODULE_FOLDER}")
# Windows looks for a plug-in's DLLs on PATH, not beside the plug-in.
set(LMRA_MODULE_ENVIRONMENT "")
if(WIN32)
  set(LMRA_MODULE_ENVIRONMENT "PATH+:=plug-ins")
endif()

# The plug-in finds the libraries installed beside it. DT_RPATH rather than DT_RUNPATH, so that
# $ORIGIN also serves their own dependencies (libusbmuxd's libplist).
if(NOT WIN32)
  if(APPLE)
    set_target_properties(lumoraMocap PROPERTIES INSTALL_RPATH "@loader_path")
  else()
    set_target_properties(lumoraMocap PROPERTIES INSTALL_RPATH "$ORIGIN")
    target_link_options(lumoraMocap PRIVATE "LINKER:--disable-new-dtags")
  endif()
endif()

# Beside the plug-in: libusbmuxd, libplist and OpenSSL's libcrypto (with their own dependencies
# outside the system's), never Maya's libraries or the system's.
set(LMRA_RUNTIME_LIBRARY_DIRS "" CACHE PATH
    "Further folders where the libraries installed beside the plug-in are found (vcpkg's bin folder on Windows)")
set(lmra_dependency_folders ${LMRA_RUNTIME_LIBRARY_DIRS})
foreach(dir ${USBMUXD_LIBRARY_DIRS} ${PLIST_LIBRARY_DIRS})
  list(APPEND lmra_dependency_folders ${dir} ${dir}/../bin)
endforeach()
get_filename_component(lmra_crypto_folder "${OPENSSL_CRYPTO_LIBRARY}" DIRECTORY)
list(APPEND lmra_dependency_folders ${lmra_crypto_folder} ${lmra_crypto_folder}/../bin)

install(TARGETS lumoraMocap
  LIBRARY DESTINATION ${LMRA_MODULE_FOLDER}/plug-ins
  RUNTIME DESTINATION ${LMRA_MODULE_FOLDER}/plug-ins)
# Resolved from the built plug-in at install time; a library's symbolic links come with it.
install(CODE "
file(GET_RUNTIME_DEPENDENCIES LIBRARIES \"$<TARGET_FILE:lumoraMocap>\"
  RESOLVED_DEPENDENCIES_VAR lmra_resolved UNRESOLVED_DEPENDENCIES_VAR lmra_unresolved
  DIRECTORIES ${lmra_dependency_folders}
  PRE_INCLUDE_REGEXES usbmuxd plist crypto imobiledevice-glue
  PRE_EXCLUDE_REGEXES .*
  POST_INCLUDE_REGEXES usbmuxd plist crypto imobiledevice-glue
  POST_EXCLUDE_REGEXES .*)
foreach(lmra_library IN LISTS lmra_unresolved)
  message(WARNING \"Not found, so not installed beside the plug-in: \${lmra_library}\")
endforeach()
file(INSTALL \${lmra_resolved} DESTINATION
  \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${LMRA_MODULE_FOLDER}/plug-ins\" FOLLOW_SYMLINK_CHAIN)
")
install(DIRECTORY ${PROJECT_SOURCE_DIR}/python/lumora DESTINATION ${LMRA_MODULE_FOLDER}/scripts
        PATTERN "__pycache__" EXCLUDE PATTERN "*.pyc" EXCLUDE)
install(DIRECTORY DESTINATION ${LMRA_MODULE_FOLDER}/icons)

# The .mod file: this build's line replaces an earlier one for the same version and platform;
# every other line stays.
install(CODE "
set(LMRA_MOD_FILE \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${LMRA_MODULE_NAME}.mod\")
set(LMRA_MODULE_LINE \"${LMRA_MODULE_LINE}\")
set(LMRA_MODULE_ENVIRONMENT \"${LMRA_MODULE_ENVIRONMENT}\")
include(\"${CMAKE_CURRENT_LIST_DIR}/InstallModuleFile.cmake\")
")
