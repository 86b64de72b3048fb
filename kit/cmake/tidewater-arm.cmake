# CMake toolchain file: builds with the Tidewater cc driver of this
# installation for every step (compile, assemble, archive, link).
#
#   cmake -G Ninja -DCMAKE_TOOLCHAIN_FILE=<prefix>/share/cmake/tidewater-arm.cmake \
#         -DTIDEWATER_BOARD=lm3s6965evb <source>
#
# TIDEWATER_BOARD names a template of targets/project_templates.xml: every
# step then gets "-y<board>", which gives compiles the board's target options
# and gives links its start-up code and memory map. Without it, the project's
# own -cpu=/-arch=/-fpu= flags and its linker description apply.

set(CMAKE_SYSTEM_NAME Generic)
set(CMAKE_SYSTEM_PROCESSOR arm)

get_filename_component(TIDEWATER_ROOT "${CMAKE_CURRENT_LIST_DIR}/../.." ABSOLUTE)
set(CMAKE_C_COMPILER "${TIDEWATER_ROOT}/bin/cc")
set(CMAKE_CXX_COMPILER "${TIDEWATER_ROOT}/bin/cc")
set(CMAKE_ASM_COMPILER "${TIDEWATER_ROOT}/bin/cc")
# The driver answers no version query of an assembler; it assembles as GNU as.
set(CMAKE_ASM_COMPILER_ID GNU)
set(CMAKE_AR "${TIDEWATER_ROOT}/gcc/arm-none-eabi/bin/ar")
set(CMAKE_OBJCOPY "${TIDEWATER_ROOT}/gcc/arm-none-eabi/bin/objcopy")
set(CMAKE_STRIP "${TIDEWATER_ROOT}/gcc/arm-none-eabi/bin/strip")

# A link needs a memory description that a compiler check does not have:
# the checks build static libraries instead of executables.
set(CMAKE_TRY_COMPILE_TARGET_TYPE STATIC_LIBRARY)

# The driver's own spellings of dependency files, system includes and
# archives replace the GNU ones once CMake has identified the compiler.
set(CMAKE_USER_MAKE_RULES_OVERRIDE "${CMAKE_CURRENT_LIST_DIR}/tidewater-arm-rules.cmake")

set(TIDEWATER_BOARD "${TIDEWATER_BOARD}" CACHE STRING "Board template of targets/project_templates.xml (empty: none)")
# The compiler checks re-read this file in projects of their own.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES TIDEWATER_BOARD)

if(TIDEWATER_BOARD)
  file(READ "${TIDEWATER_ROOT}/targets/project_templates.xml" _tw_templates)
  string(REGEX MATCHALL "<project name=\"[^\"]*\"" _tw_names "${_tw_templates}")
  string(REGEX REPLACE "<project name=\"([^\"]*)\"" "\\1" _tw_names "${_tw_names}")
  if(NOT TIDEWATER_BOARD IN_LIST _tw_names)
    string(REPLACE ";" ", " _tw_names "${_tw_names}")
    message(FATAL_ERROR "TIDEWATER_BOARD '${TIDEWATER_BOARD}' is not a template of "
                        "${TIDEWATER_ROOT}/targets/project_templates.xml; choose from: ${_tw_names}")
  endif()
  foreach(_tw_language C CXX ASM)
    set(CMAKE_${_tw_language}_FLAGS_INIT "-y${TIDEWATER_BOARD}")
  endforeach()
endif()

# Programs come from the host; headers and libraries from the installation.
set(CMAKE_FIND_ROOT_PATH "${TIDEWATER_ROOT}")
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
