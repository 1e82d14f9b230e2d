# The Windows build: Quorvel.dll with the runtime DLLs it needs beside it, lcdhost.exe, the
# native dialog runner and the tests that run under Wine. Included by the top-level file.

# An exception thrown in the DLL reaches the host's catch only when both share one C++
# runtime (i686 mingw unwinds with DWARF-2 tables, which a static runtime keeps per module):
# the shared runtime's DLLs go beside the module and the programs.
execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=libstdc++-6.dll
                OUTPUT_VARIABLE QUORVEL_LIBSTDCXX_DLL OUTPUT_STRIP_TRAILING_WHITESPACE)
execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=libgcc_s_dw2-1.dll
                OUTPUT_VARIABLE QUORVEL_LIBGCC_DLL OUTPUT_STRIP_TRAILING_WHITESPACE)
find_file(QUORVEL_WINPTHREAD_DLL libwinpthread-1.dll
          PATHS /usr/${QUORVEL_MINGW_TRIPLE}/lib /usr/${QUORVEL_MINGW_TRIPLE}/bin NO_DEFAULT_PATH)
foreach(dll ${QUORVEL_LIBSTDCXX_DLL} ${QUORVEL_LIBGCC_DLL} ${QUORVEL_WINPTHREAD_DLL})
  if(NOT EXISTS "${dll}")
    message(FATAL_ERROR "The C++ runtime DLL ${dll} is missing: install g++-mingw-w64-i686-posix")
  endif()
  file(COPY ${dll} DESTINATION ${CMAKE_BINARY_DIR})
endforeach()
# Every program and the module land in one folder, beside those DLLs.
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
set(CMAKE_LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})

add_subdirectory(runtime/forms)
add_subdirectory(serial_controls)
add_subdirectory(plugin)
add_subdirectory(tools/lcdhost)
add_subdirectory(tests/windows)
