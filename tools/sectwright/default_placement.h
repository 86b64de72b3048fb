#pragma once

namespace tidewater {

/// The text of the default section placement (FLASH and RAM), the same as
/// the installed targets/section_placement.xml; used when no placement file
/// is given.
const char* defaultPlacementText();

}  // namespace tidewater
