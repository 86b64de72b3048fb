#include "base/product_identity.h"

namespace tidewater {

const std::string& shortReleaseText() {
  static const std::string text = std::to_string(ProductIdentity::kMajorRelease) + "." +
                                  std::string(ProductIdentity::kMinorRelease) + "." +
                                  std::to_string(ProductIdentity::kRevision);
  return text;
}

const std::string& longReleaseText() {
  static const std::string text = shortReleaseText() + "." +
                                  std::string(ProductIdentity::kBuildDateCode) + "." +
                                  std::string(ProductIdentity::kBuildNumber);
  return text;
}

void writeBanner(std::string_view toolName, std::ostream& stream) {
  stream << ProductIdentity::kProductName << ' ' << toolName << " - Release " << longReleaseText()
         << '\n';
  for (const auto notice : ProductIdentity::kNotices) stream << notice << '\n';
  stream.flush();
}

}  // namespace tidewater
