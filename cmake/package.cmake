# Packages with CPack, one kind per preset (cpack --preset NAME, or all of
# them with scripts/package.sh): a .deb for Linux x86-64, a tarball for Linux
# i386, a zip for each Windows build. Every one carries the project version.

if(WIN32)
  set(QUOREL_PACKAGE_SYSTEM windows)
else()
  set(QUOREL_PACKAGE_SYSTEM linux)
endif()
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(QUOREL_PACKAGE_PROCESSOR x64)
elseif(WIN32)
  set(QUOREL_PACKAGE_PROCESSOR i686)
else()
  set(QUOREL_PACKAGE_PROCESSOR i386)
endif()

set(CPACK_PACKAGE_NAME quorel)
set(CPACK_PACKAGE_VENDOR "the quorel developers")
set(CPACK_PACKAGE_CONTACT "${QUOREL_PACKAGE_CONTACT}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "spreadsheet add-in for complex numbers, special functions and interpolation")
set(CPACK_PACKAGE_FILE_NAME quorel-${PROJECT_VERSION}-${QUOREL_PACKAGE_SYSTEM}-${QUOREL_PACKAGE_PROCESSOR})
set(CPACK_PACKAGE_CHECKSUM SHA256)
set(CPACK_STRIP_FILES ON)
# Directories made by the install rules are 0755 whatever the umask.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

if(WIN32)
  set(CPACK_GENERATOR ZIP)
elseif(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(CPACK_GENERATOR DEB)
else()
  set(CPACK_GENERATOR TGZ)
endif()

# Debian: one package with the library, the development files and the tool.
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION math)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# ldconfig by trigger. (CPack also writes postinst and postrm scripts that call
# ldconfig whenever a library lands under /usr/lib; it has no switch for that.)
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${PROJECT_SOURCE_DIR}/cmake/debian/triggers)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
if(CPACK_GENERATOR STREQUAL DEB)
  # Everything, and the lintian overrides that only the .deb carries.
  set(CPACK_INSTALL_CMAKE_PROJECTS ${PROJECT_BINARY_DIR} quorel ALL / ${PROJECT_BINARY_DIR} quorel debian /)
endif()
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "quorel is an add-in library that a spreadsheet host loads to gain 40 sheet
functions: arithmetic and elementary functions of complex numbers written as
text, the gamma function, Bessel and Weber functions of integer order,
interpolation in equidistant tables, Lagrange interpolation and polynomials,
Euro amounts, IEEE bit patterns and Roman numerals, with German and English
names. Its routines compute in x87 extended precision.
.
This package holds the library, its C headers, pkg-config and CMake files for
programs that link it, and quorel-host, a command-line host that loads the
add-in as a spreadsheet does to list its catalogue, evaluate formulas and
check case files.")

include(CPack)
