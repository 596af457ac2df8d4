# Target `pbrain-zip`: writes pbrain-kestrix.zip into the build folder, with
# pbrain-kestrix.exe and pbrain-kestrix.txt (how to add the brain to a
# manager) at its top level, where managers and tournaments look for them.
# The text gets CRLF line ends, for Windows editors.
set(KESTRIX_PACKAGE_DIR ${CMAKE_BINARY_DIR}/package)
configure_file(${PROJECT_SOURCE_DIR}/packaging/pbrain-kestrix.txt
  ${KESTRIX_PACKAGE_DIR}/pbrain-kestrix.txt @ONLY NEWLINE_STYLE CRLF)

set(KESTRIX_ZIP ${CMAKE_BINARY_DIR}/pbrain-kestrix.zip)
add_custom_command(
  OUTPUT ${KESTRIX_ZIP}
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:pbrain-kestrix> ${KESTRIX_PACKAGE_DIR}/
  COMMAND ${CMAKE_COMMAND} -E rm -f ${KESTRIX_ZIP}
  COMMAND ${CMAKE_COMMAND} -E tar cf ${KESTRIX_ZIP} --format=zip
          pbrain-kestrix.exe pbrain-kestrix.txt
  WORKING_DIRECTORY ${KESTRIX_PACKAGE_DIR}
  DEPENDS pbrain-kestrix ${KESTRIX_PACKAGE_DIR}/pbrain-kestrix.txt
  COMMENT "Packing pbrain-kestrix.zip"
  VERBATIM)
add_custom_target(pbrain-zip DEPENDS ${KESTRIX_ZIP})
