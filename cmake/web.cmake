# The WebAssembly build (Emscripten): the engine for the browser page, which
# runs it in a Web Worker, and the bench for node. One thread, no shared
# memory, so that any static file host can serve the page.
#
# A search that runs out of time ends by an exception: WebAssembly's own
# exception handling, which costs nothing until one is thrown. The SSE2
# steps of the stone updates and the table run as WebAssembly's 128-bit
# vector instructions (every current browser and node has them): the bench
# runs half as fast again as without. The stack is the one the native
# worker thread gets, for the forbidden-move test's recursion.
target_compile_options(kestrix_options INTERFACE -fwasm-exceptions -msimd128 -msse2)
target_link_options(kestrix_options INTERFACE
  -fwasm-exceptions -sALLOW_MEMORY_GROWTH=1 -sTOTAL_STACK=16777216 -sINITIAL_MEMORY=33554432)

# The page: build/<preset>/web/ holds kestrix.js and kestrix.wasm beside
# the files of web/, ready to be served as they are.
set(KESTRIX_WEB_DIR ${CMAKE_BINARY_DIR}/web)
add_executable(kestrix-web app/browser.cpp)
target_link_libraries(kestrix-web PRIVATE kestrix)
set_target_properties(kestrix-web PROPERTIES OUTPUT_NAME kestrix RUNTIME_OUTPUT_DIRECTORY ${KESTRIX_WEB_DIR})
target_link_options(kestrix-web PRIVATE -sENVIRONMENT=worker --no-entry
  -sEXPORTED_FUNCTIONS=_kestrix_line,_kestrix_judge,_kestrix_judge_all,_malloc,_free
  -sEXPORTED_RUNTIME_METHODS=ccall)
file(GLOB KESTRIX_WEB_FILES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/web/*)
foreach(file ${KESTRIX_WEB_FILES})
  get_filename_component(name ${file} NAME)
  configure_file(${file} ${KESTRIX_WEB_DIR}/${name} COPYONLY)
endforeach()

# The bench under node: the same output as the native one, the same
# signature. Compiled at once (node would fetch the module as a URL), and
# its exit status is the program's.
add_executable(kestrix-bench bench/bench.cpp)
target_link_libraries(kestrix-bench PRIVATE kestrix)
target_link_options(kestrix-bench PRIVATE
  -sENVIRONMENT=node -sWASM_ASYNC_COMPILATION=0 -sEXIT_RUNTIME=1)
