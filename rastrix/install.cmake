# Installation: header, libraries, CMake package and pkg-config file.
# Programs and the demo's pictures install from their own folders.
include(CMakePackageConfigHelpers)

set(RASTRIX_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/Rastrix)

install(FILES ${CMAKE_CURRENT_SOURCE_DIR}/include/rastrix.h
        DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(TARGETS rastrix rastrix_static EXPORT RastrixTargets
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
        RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
        INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(EXPORT RastrixTargets NAMESPACE Rastrix:: DESTINATION ${RASTRIX_CMAKE_DIR})
configure_package_config_file(${CMAKE_CURRENT_SOURCE_DIR}/RastrixConfig.cmake.in
  ${PROJECT_BINARY_DIR}/RastrixConfig.cmake
  INSTALL_DESTINATION ${RASTRIX_CMAKE_DIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/RastrixConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/RastrixConfig.cmake
              ${PROJECT_BINARY_DIR}/RastrixConfigVersion.cmake
        DESTINATION ${RASTRIX_CMAKE_DIR})

# The pkg-config file finds its prefix from where it lies, so an install
# into any prefix (cmake --install --prefix) stays usable.
file(RELATIVE_PATH RASTRIX_PC_TO_PREFIX "/prefix/${CMAKE_INSTALL_LIBDIR}/pkgconfig" "/prefix")
string(REGEX REPLACE "/$" "" RASTRIX_PC_TO_PREFIX "${RASTRIX_PC_TO_PREFIX}")
set(RASTRIX_PC_PRIVATE_LIBS)
foreach(lib ${RASTRIX_RUNTIME_LIBRARIES})
  if(NOT IS_ABSOLUTE ${lib})
    set(lib -l${lib})
  endif()
  string(APPEND RASTRIX_PC_PRIVATE_LIBS " ${lib}")
endforeach()
string(STRIP "${RASTRIX_PC_PRIVATE_LIBS}" RASTRIX_PC_PRIVATE_LIBS)
configure_file(${CMAKE_CURRENT_SOURCE_DIR}/rastrix.pc.in ${PROJECT_BINARY_DIR}/rastrix.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/rastrix.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
