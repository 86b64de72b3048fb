#pragma once

#include <cstdint>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "target/memory_map.h"

namespace tidewater {

class SVDTree;

/// A memory map read from a CMSIS-SVD register description: one
/// RegisterGroup per peripheral (and per cluster copy), Registers with their
/// BitFields and Enums, the interrupt vector table and the core's texts.
/// Every expansion (dim copies, derivations, cluster nesting) is bounded by
/// limits(), so no input makes the conversion hang or grow without end.
class SVDFile : public MemoryMap {
 public:
  /// Conversion option bits of load().
  enum Option : uint32_t {
    KeepSizeInBits = 1u << 0,  ///< register sizes stay in bits instead of bytes
  };

  /// Bounds on the model one load() may build.
  struct Limits {
    uint32_t maxDim = 65536;              ///< copies of one dimensioned register or cluster
    uint32_t maxDerivation = 16;          ///< derivedFrom links followed from one element
    uint32_t maxClusterNesting = 32;      ///< clusters nested in one another
    uint64_t maxElements = 1'000'000;     ///< elements created in all
  };

  static constexpr uint32_t kVectorTableLength = 256;

  explicit SVDFile(const MacroTable& macros, std::ostream* warnings = nullptr);
  ~SVDFile() override;

  using MemoryMap::load;
  /// Reads the SVD file at "path" and converts it under a new "Processor"
  /// root, then resolves addresses. False when the file cannot be read or
  /// parsed, or holds no element (errorText and errorLine say why); nothing
  /// is converted then. A model cut short by limits() still loads, with a
  /// warning.
  bool load(const std::string& path, uint32_t options);

  const Limits& svdLimits() const { return svdLimits_; }
  void setSVDLimits(const Limits& limits) { svdLimits_ = limits; }

  // The core's texts, "" when the file leaves them out.
  const std::string& cpuName() const { return cpuName_; }
  const std::string& mpuPresent() const { return mpuPresent_; }
  const std::string& fpuPresent() const { return fpuPresent_; }
  const std::string& nvicPrioBits() const { return nvicPrioBits_; }
  /// nvicPrioBits as a number; 0 when absent or unreadable.
  uint32_t priorityBits() const;
  /// fpuPresent says "true" or "1".
  bool hasFPU() const;

  /// The highest interrupt number stored in the vector table; -1 when none is.
  int highestInterrupt() const { return highestInterrupt_; }

 private:
  class Converter;

  void clear();

  Limits svdLimits_;
  std::string cpuName_;
  std::string mpuPresent_;
  std::string fpuPresent_;
  std::string nvicPrioBits_;
  int highestInterrupt_ = -1;
  /// The Vector elements the interrupt table points at; they stand outside the tree.
  std::vector<std::unique_ptr<MemoryMapElement>> vectors_;
  /// The parsed file, whose texts most attribute values of the model view.
  std::unique_ptr<SVDTree> tree_;
};

}  // namespace tidewater
