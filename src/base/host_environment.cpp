#include "base/host_environment.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "base/product_identity.h"
#include "base/strings.h"

namespace tidewater {

std::string homeDirectory() {
  const char* home = std::getenv("HOME");
  return home != nullptr ? home : "";
}

std::string documentsDirectory() { return homeDirectory() + "/Documents"; }
std::string desktopDirectory() { return homeDirectory() + "/Desktop"; }

std::string userDataRootFor(const char* rootVariable, const char* home) {
  if (rootVariable != nullptr) return rootVariable;
  const std::string company = lowerCase(std::string(ProductIdentity::kCompanyName));
  std::string root = std::string(home != nullptr ? home : "") + "/." + company;
  std::replace(root.begin(), root.end(), ' ', '_');
  return root;
}

const std::string& userDataRoot() {
  static std::string cached;
  if (cached.empty()) {
    cached = userDataRootFor(std::getenv("TIDEWATER_ROOT_USER_DIR"), std::getenv("HOME"));
  }
  return cached;
}

std::string userDataDirectory() {
  return userDataRoot() + "/" + std::string(ProductIdentity::kProductName) + "/v" +
         std::to_string(ProductIdentity::kMajorRelease);
}

}  // namespace tidewater
