#include "sectwright/sectwright_command.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <ostream>
#include <sstream>

#include "base/h_exception.h"
#include "sectwright/default_placement.h"
#include "sectwright/linker_script_generator.h"
#include "sectwright/memory_segments.h"
#include "sectwright/script_values.h"
#include "target/memory_map.h"

namespace tidewater {
namespace {

struct ValueOption {
  const char* name;
  std::optional<std::string> SectwrightOptions::*value;
};
constexpr ValueOption kValueOptions[] = {
    {"-memory-map-file", &SectwrightOptions::memoryMapFile},
    {"-memory-map-segments", &SectwrightOptions::memoryMapSegments},
    {"-section-placement-file", &SectwrightOptions::placementFile},
    {"-symbols", &SectwrightOptions::symbols},
    {"-memory-map-macros", &SectwrightOptions::memoryMapMacros},
    {"-section-placement-macros", &SectwrightOptions::placementMacros},
    {"-default-fill-pattern", &SectwrightOptions::defaultFillPattern},
};
constexpr const char* kBuiltInPlacementName = "<built-in section placement>";

std::string systemError(const std::string& what, const std::string& path, int error) {
  return what + " " + path + ": " + std::strerror(error);
}

/// Loads a memory map or placement file through the preprocessor; the
/// loader's warnings are passed on as sectwright's own.
std::unique_ptr<MemoryMap> loadDescription(const std::string& path, const std::string& macros,
                                           const MacroTable& macroTable, std::ostream& errors) {
  // The loader reports an unreadable file without saying why.
  const int descriptor = ::open(path.c_str(), O_RDONLY);
  if (descriptor < 0) throw HException(systemError("cannot read", path, errno));
  struct stat status {};
  const bool isDirectory = ::fstat(descriptor, &status) == 0 && S_ISDIR(status.st_mode);
  ::close(descriptor);
  if (isDirectory) throw HException(systemError("cannot read", path, EISDIR));

  std::ostringstream warnings;
  auto map = std::make_unique<MemoryMap>(macroTable, &warnings);
  const bool loaded = map->load(path, macros, true);
  std::istringstream lines(warnings.str());
  for (std::string line; std::getline(lines, line);) errors << "sectwright: " << line << '\n';
  if (!loaded || !map->rootElement()) {
    throw HException(path + ":" + std::to_string(map->errorLine() + 1) + ": " + map->errorText());
  }
  return map;
}

/// The script must never replace one of the files it is made from.
void refuseToOverwrite(const std::string& scriptPath, const std::optional<std::string>& input) {
  struct stat script {}, source {};
  if (input && ::stat(scriptPath.c_str(), &script) == 0 && ::stat(input->c_str(), &source) == 0 &&
      script.st_dev == source.st_dev && script.st_ino == source.st_ino) {
    throw HException("the linker script " + scriptPath + " would overwrite its input " + *input);
  }
}

/// Writes a temporary file beside "path" and renames it over "path".
void writeFileAtomically(const std::string& path, const std::string& text) {
  std::string temporary = path + ".XXXXXX";
  const int descriptor = ::mkstemp(temporary.data());
  if (descriptor < 0) throw HException(systemError("cannot write", path, errno));
  const mode_t mask = ::umask(0);
  ::umask(mask);
  bool written = ::fchmod(descriptor, 0666 & ~mask) == 0;
  for (std::size_t done = 0; written && done < text.size();) {
    const ssize_t count = ::write(descriptor, text.data() + done, text.size() - done);
    if (count < 0 && errno == EINTR) continue;
    written = count > 0;
    if (written) done += static_cast<std::size_t>(count);
  }
  const int writeError = errno;
  written = ::close(descriptor) == 0 && written;
  if (!written || ::rename(temporary.c_str(), path.c_str()) != 0) {
    const int error = written ? errno : writeError;
    ::unlink(temporary.c_str());
    throw HException(systemError("cannot write", path, error));
  }
}

std::string generate(const SectwrightOptions& options, const MacroTable& macroTable,
                     std::ostream& errors) {
  ScriptSettings settings;
  settings.checkSegmentOverflow = options.checkSegmentOverflow;
  if (options.symbols) settings.symbols = parseSymbolAssignments(*options.symbols);
  if (options.defaultFillPattern) {
    const std::optional<uint64_t> fill = parseIntegerLiteral(*options.defaultFillPattern);
    if (!fill || *fill > UINT32_MAX) {
      throw HException("bad -default-fill-pattern \"" + *options.defaultFillPattern +
                       "\": expected a 32-bit integer");
    }
    settings.defaultFill = static_cast<uint32_t>(*fill);
  }

  std::vector<MemorySegmentSpec> segments;
  if (options.memoryMapFile) {
    const auto map = loadDescription(*options.memoryMapFile,
                                     options.memoryMapMacros.value_or(""), macroTable, errors);
    segments = memorySegmentsOfMap(*map->rootElement(), *options.memoryMapFile, map->evaluator());
  } else {
    segments = parseMemorySegmentList(*options.memoryMapSegments);
  }

  if (options.placementFile) {
    const auto placement = loadDescription(*options.placementFile,
                                           options.placementMacros.value_or(""), macroTable, errors);
    return generateLinkerScript(segments, *placement->rootElement(), *options.placementFile,
                                settings);
  }
  MemoryMap placement(macroTable);
  if (!placement.parse(defaultPlacementText()) || !placement.rootElement()) {
    throw HException(std::string(kBuiltInPlacementName) + ": " + placement.errorText());
  }
  return generateLinkerScript(segments, *placement.rootElement(), kBuiltInPlacementName, settings);
}

}  // namespace

SectwrightOptions parseSectwrightArguments(const std::vector<std::string>& arguments) {
  SectwrightOptions options;
  std::optional<std::string> scriptPath;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (argument == "-check-segment-overflow") {
      options.checkSegmentOverflow = true;
      continue;
    }
    const ValueOption* option = nullptr;
    for (const ValueOption& candidate : kValueOptions) {
      if (argument == candidate.name) option = &candidate;
    }
    if (option) {
      if (i + 1 == arguments.size()) throw HException("missing argument to " + argument);
      options.*(option->value) = arguments[++i];
    } else if (argument.size() > 1 && argument.starts_with('-')) {
      throw HException("unknown option " + argument);
    } else if (scriptPath) {
      throw HException("more than one linker script path: " + *scriptPath + " and " + argument);
    } else {
      scriptPath = argument;
    }
  }
  if (!scriptPath || scriptPath->empty()) throw HException("no linker script path given");
  options.scriptPath = *scriptPath;
  if (options.memoryMapFile && options.memoryMapSegments) {
    throw HException("-memory-map-file and -memory-map-segments cannot be used together");
  }
  if (!options.memoryMapFile && !options.memoryMapSegments) {
    throw HException("no memory map: give -memory-map-file or -memory-map-segments");
  }
  return options;
}

int runSectwright(const std::vector<std::string>& arguments, const MacroTable& macros,
                  std::ostream& errors) {
  try {
    const SectwrightOptions options = parseSectwrightArguments(arguments);
    refuseToOverwrite(options.scriptPath, options.memoryMapFile);
    refuseToOverwrite(options.scriptPath, options.placementFile);
    writeFileAtomically(options.scriptPath, generate(options, macros, errors));
    return 0;
  } catch (const HException& error) {
    errors << "sectwright: " << error.heading() << ": " << error.message() << '\n';
  } catch (const std::exception& error) {
    errors << "sectwright: error: " << error.what() << '\n';
  }
  return 1;
}

}  // namespace tidewater
