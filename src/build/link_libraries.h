#pragma once

#include <string>
#include <vector>

#include "build/compile_command.h"

namespace tidewater {

/// The printf implementation the linker_printf_* properties choose, e.g.
/// "float_long_long" or "int_nwp_wchar".
std::string printfVariant(const CompileContext& context);
/// The scanf implementation the linker_scanf_* properties choose.
std::string scanfVariant(const CompileContext& context);

/// Whether the core has a debug communication channel (the Cortex-M
/// profile has none).
bool coreHasDCC(const TargetSettings& target);

/// The debug I/O transport arm_link_debugio_type selects: "bkpt", "dcc" or
/// "mempoll".
std::string debugIOImplementation(const CompileContext& context);

/// The runtime libraries and objects a link with standard libraries takes,
/// in input order, macro-expanded; the debug I/O transport library is left
/// out when "withDebugIOTransport" is false.
std::vector<std::string> standardLibraryInputs(const CompileContext& context, bool withDebugIOTransport);

}  // namespace tidewater
