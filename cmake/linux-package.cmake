# Target `package` (CPack): the installed files as
#   kestrix-<version>-Linux.tar.gz  bin/pbrain-kestrix, bin/kestrix-bench,
#                                   share/man/man1/ (their pages) and
#                                   share/doc/kestrix/ (the note on adding
#                                   the brain to a manager, LICENSE) under
#                                   one top folder, to unpack anywhere;
#   kestrix_<version>_<arch>.deb    the same files under /usr, with the
#                                   licence as Debian's machine-readable
#                                   copyright file and a changelog.
# Both land in the build folder. `lintian` finds nothing to report on the
# .deb (tools/check-install.sh checks it).
set(CPACK_PACKAGE_NAME kestrix)
set(CPACK_PACKAGE_VENDOR "Kestrix developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Gomoku and renju brain for gomoku managers (pbrain-kestrix)")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_GENERATOR TGZ DEB)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_CHECKSUM SHA256)

# The maintainer is the author the engine names in its ABOUT answer.
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Kestrix developers <kestrix@example.org>")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "pbrain-kestrix is a console program that a gomoku manager (a desktop GUI,
a tournament runner such as c-gomoku-cli, or a judge) starts and drives over
the manager protocol on standard input and output. It plays free-style
gomoku, exactly five and Renju on boards from 5 x 5 to 32 x 32, keeps to the
manager's time and memory limits, and reads and writes no files of its own.
.
kestrix-bench searches a fixed set of positions to fixed depths: it measures
the engine's speed, and its total node count shows whether the search still
behaves as it did.")
# Not `games`: the package holds programs that managers start, not a game a
# person plays, and Debian keeps games in /usr/games, which is not on root's
# PATH, so a tournament runner run as root would not find the brain there.
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# dpkg-shlibdeps (package dpkg-dev) derives the exact library versions;
# without it the package names the libraries the engine links.
find_program(KESTRIX_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(KESTRIX_DPKG_SHLIBDEPS)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
else()
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "libc6, libgcc-s1, libstdc++6")
endif()
# The .deb's own documentation files (cmake/debian-files.cmake).
set(CPACK_KESTRIX_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)
set(CPACK_PRE_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/debian-files.cmake)

include(CPack)
