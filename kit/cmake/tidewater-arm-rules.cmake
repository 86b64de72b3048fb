# Rule variables for the Tidewater cc driver, read after CMake's GNU rules
# (the driver runs the GNU compiler, so CMake identifies it as GNU).

foreach(_tw_language C CXX ASM)
  # Objects and libraries are recognised by these names when they are linked.
  set(CMAKE_${_tw_language}_OUTPUT_EXTENSION .o)
  # The driver writes a make-style dependency file whose target is the
  # object file, which is what Ninja's "deps = gcc" expects.
  set(CMAKE_DEPFILE_FLAGS_${_tw_language} "-depend <DEP_FILE>")
  set(CMAKE_${_tw_language}_DEPFILE_FORMAT gcc)
  set(CMAKE_${_tw_language}_DEPENDS_USE_COMPILER TRUE)
  set(CMAKE_INCLUDE_SYSTEM_FLAG_${_tw_language} "-J")
  set(CMAKE_${_tw_language}_COMPILE_OPTIONS_COLOR_DIAGNOSTICS "")
  set(CMAKE_${_tw_language}_COMPILE_OPTIONS_COLOR_DIAGNOSTICS_OFF "")
  # "cc -ar" makes the archive with its symbol index.
  set(CMAKE_${_tw_language}_ARCHIVE_CREATE "<CMAKE_${_tw_language}_COMPILER> -ar -o <TARGET> <OBJECTS>")
  set(CMAKE_${_tw_language}_ARCHIVE_FINISH "")
  set(CMAKE_${_tw_language}_LINK_EXECUTABLE
      "<CMAKE_${_tw_language}_COMPILER> <FLAGS> <CMAKE_${_tw_language}_LINK_FLAGS> <LINK_FLAGS> <OBJECTS> -o <TARGET> <LINK_LIBRARIES>")
endforeach()

# Assembly files go through the driver's own rules for .s and .asm.
set(CMAKE_ASM_SOURCE_FILE_EXTENSIONS s;S;asm)
