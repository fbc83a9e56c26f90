# VEXOBIT_SANITIZE: a -fsanitize= list applied to every target of the build,
# the module and GoogleTest (when built from source) included.
set(VEXOBIT_SANITIZE "" CACHE STRING "Sanitizers for every target, e.g. address,undefined or thread")
if(VEXOBIT_SANITIZE)
  add_compile_options(-fsanitize=${VEXOBIT_SANITIZE} -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=${VEXOBIT_SANITIZE})
endif()
