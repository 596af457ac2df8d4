# `cmake --install <build> --prefix <prefix>`: the engine and the bench go to
# <prefix>/bin, where a manager or a tournament runner finds them on the
# PATH, and the note on adding the brain to a manager to the documentation
# folder. Nothing else is installed: the brain needs no other file.
include(GNUInstallDirs)
install(TARGETS pbrain-kestrix kestrix-bench RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(NOT WIN32)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/pbrain-kestrix-linux.txt
    DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/kestrix RENAME pbrain-kestrix.txt)
endif()
