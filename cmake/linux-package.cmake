# Target `package` (CPack): the installed files as
#   kestrix-<version>-Linux.tar.gz  bin/pbrain-kestrix, bin/kestrix-bench and
#                                   share/doc/kestrix/pbrain-kestrix.txt under
#                                   one top folder, to unpack anywhere;
#   kestrix_<version>_<arch>.deb    the same files under /usr.
# Both land in the build folder.
set(CPACK_PACKAGE_NAME kestrix)
set(CPACK_PACKAGE_VENDOR "Kestrix")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Gomoku and renju brain for gomoku managers (pbrain-kestrix)")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_GENERATOR TGZ DEB)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_CHECKSUM SHA256)

set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Kestrix developers <kestrix@example.org>")
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# dpkg-shlibdeps (package dpkg-dev) derives the exact library versions;
# without it the package names the libraries the engine links.
find_program(KESTRIX_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(KESTRIX_DPKG_SHLIBDEPS)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
else()
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "libc6, libgcc-s1, libstdc++6")
endif()

include(CPack)
