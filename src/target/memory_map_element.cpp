#include "target/memory_map_element.h"

#include <array>
#include <typeinfo>
#include <utility>

#include "expression/expression_parser.h"
#include "expression/parser_exception.h"

namespace tidewater {
namespace {

struct TagKind {
  std::string_view tag;
  MemoryMapElement::Kind kind;
};

constexpr std::array<TagKind, 9> kTagKinds{{
    {"MemorySegment", MemoryMapElement::Kind::MemorySegment},
    {"Register", MemoryMapElement::Kind::Register},
    {"ProgramSection", MemoryMapElement::Kind::ProgramSection},
    {"Root", MemoryMapElement::Kind::Root},
    {"RegisterGroup", MemoryMapElement::Kind::RegisterGroup},
    {"BitField", MemoryMapElement::Kind::BitField},
    {"Enum", MemoryMapElement::Kind::Enum},
    {"Processor", MemoryMapElement::Kind::Processor},
    {"Vector", MemoryMapElement::Kind::Vector},
}};

}  // namespace

uint32_t memoryMapLiteral(std::string_view text) {
  try {
    return static_cast<uint32_t>(ExpressionParser::integerLiteralValue(text));
  } catch (const ParserException&) {
    return 0;
  }
}

MemoryMapElement::MemoryMapElement(std::string name)
    : XMLElement(std::move(name)), kind_(kindOf(XMLElement::name())) {}

MemoryMapElement::~MemoryMapElement() = default;

MemoryMapElement::Kind MemoryMapElement::kindOf(std::string_view tag) {
  for (const TagKind& entry : kTagKinds) {
    if (entry.tag == tag) return entry.kind;
  }
  return Kind::Other;
}

void MemoryMapElement::setName(std::string name) {
  XMLElement::setName(std::move(name));
  kind_ = kindOf(XMLElement::name());
}

bool MemoryMapElement::isContainer() const {
  return kind_ == Kind::MemorySegment || kind_ == Kind::ProgramSection ||
         kind_ == Kind::RegisterGroup;
}

MemoryMapElement::Access MemoryMapElement::access() const {
  const std::string* value = attribute("access");
  if (!value) return Access::ReadWrite;
  if (*value == "ReadOnly") return Access::ReadOnly;
  if (*value == "WriteOnly") return Access::WriteOnly;
  if (*value == "None") return Access::None;
  return Access::ReadWrite;
}

uint32_t MemoryMapElement::alignmentValue() const {
  const std::string* value = attribute("alignment");
  return value ? memoryMapLiteral(*value) : 0;
}

std::string MemoryMapElement::text(std::string_view attributeName) const {
  const std::string* value = attribute(attributeName);
  return value ? *value : std::string();
}

MemoryMapElement* asMapElement(XMLNode* node) {
  if (!node || !node->isElement()) return nullptr;
  if (typeid(*node) == typeid(MemoryMapElement)) return static_cast<MemoryMapElement*>(node);
  return dynamic_cast<MemoryMapElement*>(node);
}

}  // namespace tidewater
