# Makefiles start the driver, and through it the launchers, thousands of
# times. A static, position-dependent program starts without the dynamic
# loader: no shared libraries to map, no relocations to apply, no symbols to
# bind, which costs more than the driver's own set-up. The sanitizers need the
# shared runtime, so their builds keep the default.
if(NOT TW_SANITIZE)
  foreach(program tw_cc tw_sectwright_program regwright
                  tw_cc1_launcher tw_cc1plus_launcher tw_clang_launcher
                  tw_lld_launcher tw_ld_launcher)
    target_link_options(${program} PRIVATE -static)
  endforeach()
endif()
