# Installation for C and C++ users: the shared library, vela.h, a CMake
# package (find_package(vela) gives the target vela::vela) and the
# pkg-config file vela.pc.
#
#   <prefix>/include/vela.h
#   <prefix>/<libdir>/libvela.so*                (Windows: bin/I_VELA.DLL)
#   <prefix>/<libdir>/cmake/vela/velaConfig.cmake, ...Version, ...Targets
#   <prefix>/<libdir>/pkgconfig/vela.pc
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(VELA_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/vela)
set(VELA_PKGCONFIG_DIR ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

install(TARGETS vela EXPORT velaTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${PROJECT_SOURCE_DIR}/include/vela.h ${PROJECT_SOURCE_DIR}/include/vela_befehle.h
  DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})

install(EXPORT velaTargets NAMESPACE vela:: DESTINATION ${VELA_CMAKE_DIR})
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/velaConfig.cmake.in
  ${PROJECT_BINARY_DIR}/velaConfig.cmake INSTALL_DESTINATION ${VELA_CMAKE_DIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/velaConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/velaConfig.cmake
  ${PROJECT_BINARY_DIR}/velaConfigVersion.cmake DESTINATION ${VELA_CMAKE_DIR})

# vela.pc finds the prefix relative to its own place, so that the
# installed tree may be moved (or installed with --prefix or DESTDIR).
file(RELATIVE_PATH VELA_PC_ZU_PREFIX
  ${CMAKE_INSTALL_PREFIX}/${VELA_PKGCONFIG_DIR} ${CMAKE_INSTALL_PREFIX})
string(REGEX REPLACE "/$" "" VELA_PC_ZU_PREFIX "${VELA_PC_ZU_PREFIX}")
if(WIN32)
  set(VELA_PC_LIB I_VELA)  # the import library libI_VELA.dll.a
else()
  set(VELA_PC_LIB vela)
endif()
configure_file(${PROJECT_SOURCE_DIR}/cmake/vela.pc.in ${PROJECT_BINARY_DIR}/vela.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/vela.pc DESTINATION ${VELA_PKGCONFIG_DIR})
