# Installation: header, libraries, CMake package and pkg-config file.
include(CMakePackageConfigHelpers)

install(FILES ${CMAKE_CURRENT_SOURCE_DIR}/include/rastrix.h
        DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(TARGETS rastrix rastrix_static EXPORT RastrixTargets
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
        RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
        INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(EXPORT RastrixTargets NAMESPACE Rastrix::
        DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/Rastrix)
configure_package_config_file(${CMAKE_CURRENT_SOURCE_DIR}/RastrixConfig.cmake.in
  ${PROJECT_BINARY_DIR}/RastrixConfig.cmake
  INSTALL_DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/Rastrix)
write_basic_package_version_file(${PROJECT_BINARY_DIR}/RastrixConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/RastrixConfig.cmake
              ${PROJECT_BINARY_DIR}/RastrixConfigVersion.cmake
        DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/Rastrix)
configure_file(${CMAKE_CURRENT_SOURCE_DIR}/rastrix.pc.in ${PROJECT_BINARY_DIR}/rastrix.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/rastrix.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
