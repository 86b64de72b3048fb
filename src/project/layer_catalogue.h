#pragma once

#include <vector>

namespace tidewater {

class PropertyClass;
class MacroPropertyClass;

/// What one project-system layer registered, in registration order. The
/// catalogue owns the classes; a layer's record keeps every one it made,
/// including a definition whose name a later registration took over.
struct LayerCatalogue {
  std::vector<const PropertyClass*> properties;
  std::vector<const MacroPropertyClass*> macroDescriptions;
};

}  // namespace tidewater
