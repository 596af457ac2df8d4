# `cmake --install <build> --prefix <prefix>`: the engine and the bench go to
# <prefix>/bin, where a manager or a tournament runner finds them on the
# PATH; their manual pages to share/man/man1; the note on adding the brain
# to a manager and the licence to the documentation folder. The brain needs
# no other file at run time.
include(GNUInstallDirs)
install(TARGETS pbrain-kestrix kestrix-bench RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(NOT WIN32)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/pbrain-kestrix-linux.txt
    DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/kestrix RENAME pbrain-kestrix.txt)
  install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/kestrix)
  # The pages are compressed as Debian wants them (gzip -9n: no name, no
  # time stamp, so two builds give the same bytes); man reads them as they
  # are. They are compressed while installing, from the sources, so that an
  # install needs nothing built but the two programs.
  install(CODE "
    set(dir \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_MANDIR}/man1\")
    file(MAKE_DIRECTORY \"\${dir}\")
    foreach(page pbrain-kestrix.1 kestrix-bench.1)
      message(STATUS \"Installing: \${dir}/\${page}.gz\")
      execute_process(COMMAND gzip -9n -c \"${PROJECT_SOURCE_DIR}/packaging/man/\${page}\"
        OUTPUT_FILE \"\${dir}/\${page}.gz\" COMMAND_ERROR_IS_FATAL ANY)
      list(APPEND CMAKE_INSTALL_MANIFEST_FILES \"\${dir}/\${page}.gz\")
    endforeach()")
endif()
