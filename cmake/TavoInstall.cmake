# What `cmake --install` puts in place: the runtime libTavoAuto.so hosts
# link, the component module, the public headers, tavopl, the sample presets,
# a CMake package (find_package(TavoPlaylist2Pelta)) and a pkg-config file
# (tavoplaylist2pelta). The control library and its catalog install
# themselves (control/CMakeLists.txt). Everything is found relative to the
# prefix, so `cmake --install build --prefix DIR` works for any DIR.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(TAVO_INSTALL_DATADIR ${CMAKE_INSTALL_DATADIR}/tavo)
set(TAVO_INSTALL_CMAKEDIR ${CMAKE_INSTALL_LIBDIR}/cmake/TavoPlaylist2Pelta)

# Installed programs and modules find libTavoAuto.so beside themselves.
file(RELATIVE_PATH tavo_bin_to_lib ${CMAKE_INSTALL_FULL_BINDIR} ${CMAKE_INSTALL_FULL_LIBDIR})
set_target_properties(tavopl PROPERTIES INSTALL_RPATH "$ORIGIN/${tavo_bin_to_lib}")
set_target_properties(TavoPlaylist2Pelta TAVOControl PROPERTIES INSTALL_RPATH "$ORIGIN")

install(TARGETS TavoAuto TavoPlaylist2Pelta LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(TARGETS tavopl RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/include/tavo DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(FILES ${PROJECT_SOURCE_DIR}/share/samplepresets.xml DESTINATION ${TAVO_INSTALL_DATADIR})

# The file names hosts need (modules are loaded by path, not linked).
set(TAVO_RUNTIME_FILE ${CMAKE_SHARED_LIBRARY_PREFIX}TavoAuto${CMAKE_SHARED_LIBRARY_SUFFIX})
set(TAVO_MODULE_FILE ${CMAKE_SHARED_LIBRARY_PREFIX}TavoPlaylist2Pelta${CMAKE_SHARED_LIBRARY_SUFFIX})
set(TAVO_CONTROL_FILE ${CMAKE_SHARED_LIBRARY_PREFIX}TAVOControl${CMAKE_SHARED_LIBRARY_SUFFIX})

configure_package_config_file(
  ${PROJECT_SOURCE_DIR}/cmake/TavoPlaylist2PeltaConfig.cmake.in
  ${PROJECT_BINARY_DIR}/TavoPlaylist2PeltaConfig.cmake
  INSTALL_DESTINATION ${TAVO_INSTALL_CMAKEDIR}
  PATH_VARS CMAKE_INSTALL_INCLUDEDIR CMAKE_INSTALL_LIBDIR TAVO_INSTALL_DATADIR)
write_basic_package_version_file(${PROJECT_BINARY_DIR}/TavoPlaylist2PeltaConfigVersion.cmake
  VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/TavoPlaylist2PeltaConfig.cmake
              ${PROJECT_BINARY_DIR}/TavoPlaylist2PeltaConfigVersion.cmake
        DESTINATION ${TAVO_INSTALL_CMAKEDIR})

# pkg-config finds the prefix from the .pc file's own place.
file(RELATIVE_PATH TAVO_PC_TO_PREFIX /p/${CMAKE_INSTALL_LIBDIR}/pkgconfig /p)
configure_file(${PROJECT_SOURCE_DIR}/cmake/tavoplaylist2pelta.pc.in
               ${PROJECT_BINARY_DIR}/tavoplaylist2pelta.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/tavoplaylist2pelta.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
