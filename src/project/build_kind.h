#pragma once

#include <cstdint>

namespace tidewater {

/// The kind of build step a node needs. The codes are shared by the build
/// walk and by the build-step sets of the property catalogue, so they are
/// fixed (there is no kind 6).
enum class BuildKind : int32_t {
  None = 0,           ///< no own step, only the children
  Excluded = 1,       ///< excluded from the build
  CompileC = 2,
  CompileCpp = 3,
  Assemble = 4,
  ExternalBuild = 5,  ///< run the external build command
  Link = 7,
  Archive = 8,
  Stage = 9,
  Combine = 10,
};

/// Step masks of the catalogue tables: bit k stands for the build kind k.
inline constexpr uint32_t stepBit(BuildKind kind) { return 1u << static_cast<int32_t>(kind); }

inline constexpr uint32_t kStepC = stepBit(BuildKind::CompileC);
inline constexpr uint32_t kStepCpp = stepBit(BuildKind::CompileCpp);
inline constexpr uint32_t kStepAsm = stepBit(BuildKind::Assemble);
inline constexpr uint32_t kStepLink = stepBit(BuildKind::Link);
inline constexpr uint32_t kStepArchive = stepBit(BuildKind::Archive);
inline constexpr uint32_t kStepsCompile = kStepC | kStepCpp;
inline constexpr uint32_t kStepsSource = kStepC | kStepCpp | kStepAsm;

}  // namespace tidewater
