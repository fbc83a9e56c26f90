# Tests of a Windows build run under wine. Its first start creates the wine
# prefix (WINEPREFIX, set by the presets inside the build directory), which
# is slow and chatty: do it once here, quietly, before any test discovery
# runs a program under wine with a timeout.
if(CMAKE_CROSSCOMPILING_EMULATOR MATCHES "wine")
  set(prefix "$ENV{WINEPREFIX}")
  if(prefix AND NOT EXISTS "${prefix}/system.reg")
    message(STATUS "Creating the wine prefix ${prefix}")
    execute_process(
      COMMAND ${CMAKE_CROSSCOMPILING_EMULATOR} wineboot --init
      OUTPUT_FILE "${CMAKE_BINARY_DIR}/wineboot.log"
      ERROR_FILE "${CMAKE_BINARY_DIR}/wineboot.log"
      RESULT_VARIABLE wineboot_result
      TIMEOUT 300)
    if(NOT wineboot_result EQUAL 0 OR NOT EXISTS "${prefix}/system.reg")
      message(FATAL_ERROR "wine could not create its prefix; see ${CMAKE_BINARY_DIR}/wineboot.log")
    endif()
  endif()
endif()
