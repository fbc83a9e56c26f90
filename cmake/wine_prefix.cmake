# Tests of a Windows build run under wine. Its first start creates the wine
# prefix (WINEPREFIX, set by the presets inside the build directory), which
# is slow and chatty: do it once here, quietly, before any test discovery
# runs a program under wine with a timeout.
if(CMAKE_CROSSCOMPILING_EMULATOR MATCHES "wine")
  set(prefix "$ENV{WINEPREFIX}")
  if(prefix AND NOT EXISTS "${prefix}/system.reg")
    message(STATUS "Creating the wine prefix ${prefix}")
    find_program(VEXOBIT_WINESERVER wineserver REQUIRED)
    execute_process(
      COMMAND ${CMAKE_CROSSCOMPILING_EMULATOR} wineboot --init
      OUTPUT_FILE "${CMAKE_BINARY_DIR}/wineboot.log"
      ERROR_FILE "${CMAKE_BINARY_DIR}/wineboot.log"
      TIMEOUT 300)
    # The registry reaches the disk when the wine server exits.
    execute_process(COMMAND ${VEXOBIT_WINESERVER} --wait OUTPUT_QUIET ERROR_QUIET TIMEOUT 300)
    if(NOT EXISTS "${prefix}/system.reg")
      message(FATAL_ERROR "wine could not create its prefix; see ${CMAKE_BINARY_DIR}/wineboot.log")
    endif()
  endif()
endif()
