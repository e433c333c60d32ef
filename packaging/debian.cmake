# `cpack -G DEB` in the build folder makes three Debian packages: the
# shared library, its -dev package (headers, static library, CMake and
# pkg-config files) and the demo with its pictures and rxtool. Each install()
# names the component it belongs to.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME rastrix)
set(CPACK_PACKAGE_VENDOR Rastrix)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_COMPONENTS_ALL runtime dev demo)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Rastrix developers <rastrix@example.org>")
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
# Dependencies on system libraries come from the programs' own links.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)

set(CPACK_DEBIAN_RUNTIME_PACKAGE_NAME librastrix${PROJECT_VERSION_MAJOR})
set(CPACK_DEBIAN_RUNTIME_PACKAGE_SECTION libs)
# The window library opens SDL2 when a window is asked for; without it
# everything else works.
set(CPACK_DEBIAN_RUNTIME_PACKAGE_RECOMMENDS libsdl2-2.0-0)
set(CPACK_COMPONENT_RUNTIME_DESCRIPTION "${PROJECT_DESCRIPTION}: the shared library")
set(CPACK_DEBIAN_DEV_PACKAGE_NAME librastrix-dev)
set(CPACK_DEBIAN_DEV_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_DEV_PACKAGE_DEPENDS
    "${CPACK_DEBIAN_RUNTIME_PACKAGE_NAME} (= ${PROJECT_VERSION})")
set(CPACK_COMPONENT_DEV_DESCRIPTION
    "${PROJECT_DESCRIPTION}: header, static library, CMake and pkg-config files")
set(CPACK_DEBIAN_DEMO_PACKAGE_NAME rastrix-demo)
set(CPACK_COMPONENT_DEMO_DESCRIPTION
    "The fish tank demo of Rastrix with its pictures, and the rxtool picture tool")

# Every package carries the licence, where Debian looks for it.
foreach(component runtime dev demo)
  string(TOUPPER ${component} upper)
  install(FILES ${PROJECT_SOURCE_DIR}/LICENSE
          DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/${CPACK_DEBIAN_${upper}_PACKAGE_NAME}
          RENAME copyright COMPONENT ${component})
endforeach()

include(CPack)
