# The installation tree as a Debian package: "cmake --build build --target
# package" writes tidewater-arm_<version>_<arch>.deb into the build directory.
# The tree is relocatable and holds a program named cc, so it goes under a
# directory of its own, off the default PATH, where it cannot shadow the host
# compiler. The tree's links point into the cross tools, the C and C++
# libraries and Clang/LLD: the packages that own those files are its
# dependencies, found here from the very files the links name.

file(STRINGS ${CMAKE_SOURCE_DIR}/src/base/product_identity.h release_lines
     REGEX "k(MajorRelease|MinorRelease|Revision) = ")
string(REGEX REPLACE ".*kMajorRelease = ([0-9]+).*kMinorRelease = \"([0-9]+)\".*kRevision = ([0-9]+).*"
       "\\1.\\2.\\3" TW_RELEASE "${release_lines}")

find_program(TW_DPKG_QUERY dpkg-query)
set(depends "")
if(TW_DPKG_QUERY)
  foreach(file "${TW_ARM_GCC}" "${TW_ARM_as}" "${TW_ARM_cc1plus}" "${TW_CLANG}" "${TW_LLD}"
          "${TW_NEWLIB_INCLUDE}/newlib.h" "${TW_CXX_INCLUDE}/cstdlib")
    get_filename_component(resolved "${file}" REALPATH)
    execute_process(COMMAND ${TW_DPKG_QUERY} -S "${resolved}" OUTPUT_VARIABLE owner
                    RESULT_VARIABLE status ERROR_QUIET)
    if(status EQUAL 0)
      string(REGEX REPLACE ":.*" "" owner "${owner}")
      list(APPEND depends ${owner})
    endif()
  endforeach()
endif()
if(NOT depends)
  set(depends gcc-arm-none-eabi binutils-arm-none-eabi libnewlib-arm-none-eabi libstdc++-arm-none-eabi-newlib clang lld)
endif()
list(APPEND depends libc6)
list(REMOVE_DUPLICATES depends)
string(REPLACE ";" ", " depends "${depends}")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tidewater-arm)
set(CPACK_PACKAGE_VERSION ${TW_RELEASE})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Tidewater cc: compiler driver, linker-script generator and runtime for ARM targets")
set(CPACK_PACKAGE_CONTACT "Tidewater tools team <tools@tidewater.invalid>")
set(CPACK_PACKAGING_INSTALL_PREFIX /opt/tidewater-arm)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "${depends}")
set(CPACK_STRIP_FILES TRUE)
include(CPack)
