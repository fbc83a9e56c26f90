# Flags every target of the project gets.
add_library(vexobit_flags INTERFACE)
target_compile_options(vexobit_flags INTERFACE
  -Wall -Wextra
  # The signal path is bit-exact: no fused multiply-add, no fast-math.
  -ffp-contract=off
  $<$<BOOL:${VEXOBIT_WERROR}>:-Werror>)
if(CMAKE_SIZEOF_VOID_P EQUAL 4 AND CMAKE_SYSTEM_PROCESSOR MATCHES "86")
  # x87 arithmetic keeps excess precision and changes the output bits.
  target_compile_options(vexobit_flags INTERFACE -msse2 -mfpmath=sse)
endif()
