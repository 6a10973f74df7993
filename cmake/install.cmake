# Where `cmake --install` puts things, and the files that let programs find
# and link the library afterwards.
#
# Linux: the GNU layout (the linux-x64 preset uses Debian's multiarch libdir)
# with the library, both headers, a pkg-config file, a CMake package
# (find_package(quorel) gives quorel::quorel), the host tool and its manual
# page. Windows: one flat folder holding the DLL, the host tool, quorel.h and
# the documents (the directories are set before GNUInstallDirs, at the top).
#
# The library keeps its plain name and the soname libquorel.so: hosts load
# the add-in as one file from their add-in folder, and its interface (the
# entry points, the sheet functions and the math routines) never changes
# incompatibly, so there is no versioned name and no symlink.

include(CMakePackageConfigHelpers)
# Installing (and CPack) takes what is built and builds nothing: the tests and
# benchmarks need not exist for a package.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

target_include_directories(quorel INTERFACE $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>)
# Programs that link the library are compiled without the built-ins of its
# names (QUOREL_NO_BUILTINS, CMakeLists.txt).
if(NOT WIN32)
  target_compile_options(quorel INTERFACE "$<INSTALL_INTERFACE:${QUOREL_NO_BUILTINS}>")
endif()
list(JOIN QUOREL_NO_BUILTINS " " QUOREL_PC_CFLAGS)

set(QUOREL_PACKAGE_CONTACT "quorel developers <quorel@example.org>" CACHE STRING
    "Maintainer of the packages (Debian's Maintainer field and change log)")

if(WIN32)
  # The DLL and the tool; the import library only on request (hosts load
  # the DLL by name).
  install(TARGETS quorel quorel-host
          RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
          ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT import-library EXCLUDE_FROM_ALL)
  install(FILES include/quorel.h include/quorel_blocks.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
else()
  # A shared library is not a program: 0644, as Debian wants it.
  install(TARGETS quorel EXPORT quorelTargets
          LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
                  PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
  install(TARGETS quorel-host RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES include/quorel.h include/quorel_blocks.h include/quorel_math.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})

  # CMake package: the imported target, and a version file that accepts
  # requests of the same major version and the same pointer size.
  set(config_dir ${CMAKE_INSTALL_LIBDIR}/cmake/quorel)
  install(EXPORT quorelTargets NAMESPACE quorel:: DESTINATION ${config_dir})
  configure_package_config_file(cmake/quorelConfig.cmake.in ${PROJECT_BINARY_DIR}/quorelConfig.cmake
                                INSTALL_DESTINATION ${config_dir})
  write_basic_package_version_file(${PROJECT_BINARY_DIR}/quorelConfigVersion.cmake
                                   COMPATIBILITY SameMajorVersion)
  install(FILES ${PROJECT_BINARY_DIR}/quorelConfig.cmake ${PROJECT_BINARY_DIR}/quorelConfigVersion.cmake
          DESTINATION ${config_dir})

  # pkg-config: paths relative to the .pc file, so that the same file serves
  # /usr, /usr/local, a tarball unpacked anywhere and a scratch root.
  file(RELATIVE_PATH QUOREL_PC_PREFIX /root/${CMAKE_INSTALL_LIBDIR}/pkgconfig /root)
  string(REGEX REPLACE "/$" "" QUOREL_PC_PREFIX "\${pcfiledir}/${QUOREL_PC_PREFIX}")
  configure_file(cmake/quorel.pc.in ${PROJECT_BINARY_DIR}/quorel.pc @ONLY)
  install(FILES ${PROJECT_BINARY_DIR}/quorel.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

  # The manual page, compressed at build time (man reads .gz everywhere).
  configure_file(host/quorel-host.1.in ${PROJECT_BINARY_DIR}/quorel-host.1 @ONLY)
  add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/quorel-host.1.gz
                     COMMAND gzip -9nf -k ${PROJECT_BINARY_DIR}/quorel-host.1
                     DEPENDS ${PROJECT_BINARY_DIR}/quorel-host.1)
  add_custom_target(quorel-manpage ALL DEPENDS ${PROJECT_BINARY_DIR}/quorel-host.1.gz)
  install(FILES ${PROJECT_BINARY_DIR}/quorel-host.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

  # Copyright and the change log (named and compressed as Debian expects).
  install(FILES cmake/debian/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})
  configure_file(cmake/debian/changelog.in ${PROJECT_BINARY_DIR}/changelog @ONLY)
  add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/changelog.gz
                     COMMAND gzip -9nf -k ${PROJECT_BINARY_DIR}/changelog
                     DEPENDS ${PROJECT_BINARY_DIR}/changelog)
  add_custom_target(quorel-changelog ALL DEPENDS ${PROJECT_BINARY_DIR}/changelog.gz)
  install(FILES ${PROJECT_BINARY_DIR}/changelog.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})
  # Only in the .deb (cmake/package.cmake asks for this component).
  install(FILES cmake/debian/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/lintian/overrides
          RENAME quorel COMPONENT debian EXCLUDE_FROM_ALL)
endif()

# The documents in the repository's layout, so that their relative links hold
# in the installed tree as in the sources (tests/checks/check_links.py): the
# README, how the project works, the host tool's manual in Markdown, the
# function reference, the accuracy report with its plots and the measured
# times (with the bound on every call); and the sample
# sheets and formula files.
install(FILES README.md CONTRIBUTING.md DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES host/README.md DESTINATION ${CMAKE_INSTALL_DOCDIR}/host)
install(FILES docs/functions.md docs/funktionen.md docs/accuracy.md docs/performance.md DESTINATION ${CMAKE_INSTALL_DOCDIR}/docs)
file(GLOB QUOREL_PLOTS CONFIGURE_DEPENDS docs/accuracy/*.png)
install(FILES ${QUOREL_PLOTS} DESTINATION ${CMAKE_INSTALL_DOCDIR}/docs/accuracy)
file(GLOB QUOREL_EXAMPLES CONFIGURE_DEPENDS examples/*.csv examples/demo-*.txt)
install(FILES ${QUOREL_EXAMPLES} DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples)
