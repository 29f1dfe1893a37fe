# Installing and packaging kdbrowse.
#
#   cmake --install build [--prefix /usr/local]   the program into bin/, its
#                                                 manual page into share/man/man1/,
#                                                 its bash completion into
#                                                 share/bash-completion/completions/
#   (cd build && cpack -G DEB)                    kdbrowse_<version>_<arch>.deb
#
# The Debian package takes its library dependencies from dpkg-shlibdeps (part
# of dpkg-dev, which build-essential brings), so they always name the ncurses
# and nettle runtime packages that the binary was really linked against.
# CPack finds the binaries to give it with the `file` program, which a
# minimal Debian lacks: scripts/check-package installs it.

include(GNUInstallDirs)

install(TARGETS kdbrowse RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${PROJECT_SOURCE_DIR}/man/kdbrowse.1
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${PROJECT_SOURCE_DIR}/completions/kdbrowse
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kdbrowse)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "kdbrowse maintainers <maintainers@kdbrowse.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "full-screen terminal browser for KeePass 1.x password databases")
# One line a paragraph line of the Debian description; CPack indents them.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
  "kdbrowse opens a KeePass 1.x database (.kdb), asks for its master"
  "password and shows the group tree and the entries of a group in two"
  "panes, every password masked until it is revealed. It shows every field"
  "of an entry, copies a password to the X selection or the clipboard"
  "through xclip (and, when asked, takes it out again after a time) and"
  "opens another database in place."
  "."
  "It reads AES and Twofish files with any number of key transformation"
  "rounds, and never writes a database.")
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS xclip)

include(CPack)
