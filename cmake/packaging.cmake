# Installing like a Linux desktop program, and the Debian package that
# `cpack -G DEB` makes from the same installation. Included by the top-level
# CMakeLists.txt once every program is defined. The window program, its menu
# entry, icon and file type are installed by app/CMakeLists.txt.

include(GNUInstallDirs)

# The AppStream id; the desktop entry is named after it (app/<id>.desktop).
set(HALVEX_APP_ID com.halvex.switchsetup)
set(HALVEX_WEBSITE "https://www.halvex.com/switch-setup" CACHE STRING
  "Home page named by the package; its screenshots/ folder publishes docs/pictures")
set(HALVEX_PACKAGE_MAINTAINER "Halvex Switch Setup maintainers <switch-setup@halvex.com>" CACHE STRING
  "Maintainer of the Debian package: name <e-mail address>")
set(HALVEX_PACKAGE halvex)
set(HALVEX_DOCDIR ${CMAKE_INSTALL_DATADIR}/doc/${HALVEX_PACKAGE})

install(TARGETS halvex-eval RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The print helper, run by the window program only (print/CMakeLists.txt).
set(programs ${CMAKE_INSTALL_BINDIR}/halvex ${CMAKE_INSTALL_BINDIR}/halvex-eval)
if(TARGET halvex-print-submit)
  install(TARGETS halvex-print-submit RUNTIME DESTINATION ${CMAKE_INSTALL_LIBEXECDIR}/halvex)
  list(APPEND programs ${CMAKE_INSTALL_LIBEXECDIR}/halvex/halvex-print-submit)
endif()
# A stripped install (cpack, cmake --install --strip) also drops the
# compiler's notes, as Debian strips the programs of its packages.
install(CODE "
  if(CMAKE_INSTALL_DO_STRIP)
    foreach(program ${programs})
      execute_process(COMMAND \"${CMAKE_OBJCOPY}\" --remove-section=.comment
        \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/\${program}\")
    endforeach()
  endif()")

# Manual pages and the package's change log, compressed as Debian wants them
# (gzip -9n: no name or time stamp, so the same source gives the same bytes).
set(out ${CMAKE_CURRENT_BINARY_DIR}/packaging)
configure_file(packaging/changelog.in ${out}/changelog.Debian @ONLY)
configure_file(packaging/copyright.in ${out}/copyright @ONLY)
configure_file(packaging/${HALVEX_APP_ID}.metainfo.xml.in ${out}/${HALVEX_APP_ID}.metainfo.xml @ONLY)
find_program(HALVEX_GZIP gzip REQUIRED)
set(gzipped)
foreach(doc docs/halvex.1 docs/halvex-eval.1 ${out}/changelog.Debian)
  get_filename_component(name ${doc} NAME)
  get_filename_component(source ${doc} ABSOLUTE)
  add_custom_command(OUTPUT ${out}/${name}.gz
    COMMAND ${CMAKE_COMMAND} -E copy ${source} ${out}/gz/${name}
    COMMAND ${HALVEX_GZIP} -9nf ${out}/gz/${name}
    COMMAND ${CMAKE_COMMAND} -E rename ${out}/gz/${name}.gz ${out}/${name}.gz
    DEPENDS ${source} VERBATIM)
  list(APPEND gzipped ${out}/${name}.gz)
endforeach()
add_custom_target(halvex_compressed_docs ALL DEPENDS ${gzipped})

install(FILES ${out}/halvex.1.gz ${out}/halvex-eval.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${out}/${HALVEX_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${out}/copyright ${out}/changelog.Debian.gz DESTINATION ${HALVEX_DOCDIR})
# Not a package of the Debian archive: no bug report asked for it.
install(FILES packaging/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
  RENAME ${HALVEX_PACKAGE})
install(DIRECTORY examples/ DESTINATION ${HALVEX_DOCDIR}/examples FILES_MATCHING PATTERN "*.hvx" PATTERN "*.csv")
# The README with its pictures, where its links find them.
install(FILES README.md DESTINATION ${HALVEX_DOCDIR})
install(DIRECTORY docs/pictures/ DESTINATION ${HALVEX_DOCDIR}/docs/pictures FILES_MATCHING PATTERN "*.png")

# The Debian package: both programs and everything above, its dependencies
# worked out from the programs' libraries (dpkg-shlibdeps). The desktop's
# caches (file types, menu, icons, manual pages) are refreshed by the
# triggers of the packages that own them, so it needs no scripts of its own.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${HALVEX_PACKAGE})
set(CPACK_PACKAGE_VENDOR "The Halvex Switch Setup maintainers")
set(CPACK_PACKAGE_CONTACT ${HALVEX_PACKAGE_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "DIP switch settings of the Halvex signal converter")
set(CPACK_PACKAGE_DESCRIPTION [[
Halvex Switch Setup is a desktop tool for instrument engineers who
configure the Halvex programmable isolating signal converter, whose
whole function is set by 48 DIP switches in four banks. Describe the
conversion in one window (input type and range, output ranges, second
output and options) and the program draws the switch banks to set,
prints that sheet and keeps setups in small .hvx files, which open with
it from a file manager.

The command-line program halvex-eval evaluates setup files without a
window, for people or, as JSON, for scripts.]])
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${HALVEX_WEBSITE})
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The window program runs natively in a Wayland session with Qt's plugin for
# it, and falls back to X otherwise.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS qt6-wayland)
# Files and folders readable by everyone, whatever the umask of the packer.
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_SOURCE_DIR}/packaging/folder-permissions.cmake)
include(CPack)
