#include "driver/option_writer.h"

#include <algorithm>
#include <cctype>

#include "base/h_exception.h"
#include "base/strings.h"
#include "project/project_system.h"

namespace tidewater {

namespace {

const std::string kCommon = "Common";

std::string join(const std::vector<std::string>& items, const char* separator) {
  std::string joined;
  for (size_t i = 0; i < items.size(); ++i) {
    if (i > 0) joined += separator;
    joined += items[i];
  }
  return joined;
}

}  // namespace

OptionWriter::OptionWriter(ErrorReporter& reporter, ProjectSystem& system, ProjectElement& project)
    : reporter_(reporter), system_(system), project_(project) {}

const PropertyClass& OptionWriter::property(const std::string& name) const {
  const PropertyClass* found = system_.catalogue().find(name);
  if (found == nullptr) throw HException("no property " + name + " in the catalogue");
  return *found;
}

void OptionWriter::write(const PropertyClass& property, const std::string& value) {
  flush();
  system_.write(project_, property, kCommon, value);
}

void OptionWriter::write(const std::string& property, const std::string& value) {
  write(this->property(property), value);
}

void OptionWriter::writeOn(ProjectElement& node, const std::string& property,
                           const std::string& value) {
  flush();
  system_.write(node, this->property(property), kCommon, value);
}

bool OptionWriter::writeValidated(const PropertyClass& property, const std::string& value) {
  const std::vector<std::string> legal = property.legalValues();
  const std::string wanted = lowerCase(value);
  const auto match = std::find_if(legal.begin(), legal.end(),
                                  [&](const std::string& candidate) { return lowerCase(candidate) == wanted; });
  if (match != legal.end()) {
    write(property, *match);
    return true;
  }
  reporter_.error() << value << " unsupported - choose from:\n" << join(legal, "\n") << std::endl;
  return false;
}

bool OptionWriter::writeValidated(const std::string& property, const std::string& value) {
  return writeValidated(this->property(property), value);
}

void OptionWriter::append(const std::string& property, const std::string& value) {
  const PropertyClass* propertyClass = &this->property(property);
  auto pending = std::find_if(pendingAppends_.begin(), pendingAppends_.end(),
                              [&](const auto& entry) { return entry.first == propertyClass; });
  if (pending == pendingAppends_.end()) {
    const std::string* own = ownPropertyValue(project_, *propertyClass, kCommon);
    pending = pendingAppends_.emplace(pendingAppends_.end(), propertyClass, own != nullptr ? *own : std::string());
  }
  pending->second += ';';
  pending->second += value;
}

void OptionWriter::flush() {
  for (const auto& [property, value] : pendingAppends_) system_.write(project_, *property, kCommon, value);
  pendingAppends_.clear();
}

void OptionWriter::listValues(std::initializer_list<const char*> properties) {
  for (const char* name : properties) {
    reporter_.stream() << '\n' << join(property(name).legalValues(), ", ") << '\n';
  }
  reporter_.stream().flush();
}

}  // namespace tidewater
