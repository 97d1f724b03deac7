# `cmake --install <build> --prefix <modules folder>` lays the plug-in out as a Maya module:
#   <prefix>/lumoraMocap.mod
#   <prefix>/lumoraMocap/plug-ins/lumoraMocap.so   (.mll on Windows, .bundle on macOS)
# Put <prefix> on MAYA_MODULE_PATH (or copy both into a modules folder Maya already reads).
if(WIN32)
  set_target_properties(lumoraMocap PROPERTIES SUFFIX ".mll")
elseif(APPLE)
  set_target_properties(lumoraMocap PROPERTIES SUFFIX ".bundle")
endif()

set(LMRA_MODULE_NAME lumoraMocap)
configure_file(${CMAKE_CURRENT_LIST_DIR}/lumoraMocap.mod.in ${CMAKE_BINARY_DIR}/${LMRA_MODULE_NAME}.mod @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/${LMRA_MODULE_NAME}.mod DESTINATION .)
install(TARGETS lumoraMocap LIBRARY DESTINATION ${LMRA_MODULE_NAME}/plug-ins
                            RUNTIME DESTINATION ${LMRA_MODULE_NAME}/plug-ins)
