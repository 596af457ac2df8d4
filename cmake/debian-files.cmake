# Run by CPack for each package, once the files are staged: the .deb takes
# the licence as Debian's copyright file (machine-readable, in the package's
# documentation folder) instead of LICENSE beside it, and the changelog of
# a native package as changelog.gz, compressed with gzip -9n.
if(NOT CPACK_GENERATOR STREQUAL "DEB")
  return()
endif()
set(doc "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/usr/share/doc/kestrix")
file(REMOVE "${doc}/LICENSE")
file(COPY "${CPACK_KESTRIX_PACKAGING_DIR}/debian/copyright" DESTINATION "${doc}")
execute_process(COMMAND gzip -9n -c "${CPACK_KESTRIX_PACKAGING_DIR}/debian/changelog"
  OUTPUT_FILE "${doc}/changelog.gz" COMMAND_ERROR_IS_FATAL ANY)
