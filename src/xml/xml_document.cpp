#include "xml/xml_document.h"

#include <sys/stat.h>

#include <cstring>
#include <utility>
#include <vector>

#include "base/text_file.h"
#include "xml/xml_char_class.h"
#include "xml/xml_parser.h"
#include "xml/xml_source.h"
#include "xml/xml_tree_builder.h"
#include "xml/xml_writer.h"

namespace tidewater {

namespace {

constexpr size_t kErrorTextLimit = 1023;
// doctypeOf looks at no more than this many leading bytes.
constexpr size_t kDoctypeProbeSize = 1024;

std::unique_ptr<XMLNode> copyNode(XMLDocument& document, const XMLNode& node) {
  switch (node.kind()) {
    case XMLNode::Kind::Element: {
      const auto& source = static_cast<const XMLElement&>(node);
      std::unique_ptr<XMLElement> copy = document.createElement(source.name());
      if (!copy) copy = std::make_unique<XMLElement>(source.name());
      for (const XMLAttribute& attribute : source.attributes()) {
        copy->setAttribute(attribute.name,
                           attribute.value ? std::optional(std::string(attribute.value.view())) : std::nullopt);
      }
      return copy;
    }
    case XMLNode::Kind::Data:
      return std::make_unique<XMLData>(static_cast<const XMLData&>(node).text());
    case XMLNode::Kind::Comment:
      return std::make_unique<XMLComment>(static_cast<const XMLComment&>(node).text());
    case XMLNode::Kind::CDATASection:
      return std::make_unique<XMLCDATASection>(static_cast<const XMLCDATASection&>(node).text());
  }
  return nullptr;
}

}  // namespace

XMLDocument::~XMLDocument() = default;

std::unique_ptr<XMLElement> XMLDocument::createElement(std::string name) {
  return std::make_unique<XMLElement>(std::move(name));
}

void XMLDocument::setError(std::string_view text, uint32_t line) {
  errorText_.assign(text.substr(0, kErrorTextLimit));
  errorLine_ = line;
}

void XMLDocument::startParse() {
  root_.reset();
  errorText_.clear();
  errorLine_ = 0;
}

bool XMLDocument::parse(const char* buffer) {
  startParse();
  XMLTreeBuilder builder(*this);
  if (!XMLParser<XMLTreeBuilder>(*this, builder, buffer).run()) return false;
  root_ = builder.takeRoot();
  return true;
}

bool XMLDocument::parse(const char* buffer, XMLParseSink& sink) {
  startParse();
  return XMLParser<XMLParseSink>(*this, sink, buffer).run();
}

bool XMLDocument::parseFile(std::FILE* file) {
  XMLSource source;
  if (!source.read(file, UINT64_MAX, false)) {
    root_.reset();
    setError("couldn't read file", 0);
    return false;
  }
  return parse(source.text());
}

bool XMLDocument::read(const std::string& path, XMLSource& source) {
  root_.reset();
  int reason = 0;
  UniqueFile file = openTextFileForReading(path, reason);
  if (file && inputLimit_) {
    // Checked before reading: a device such as /dev/zero never ends.
    struct stat status {};
    if (::fstat(::fileno(file.get()), &status) != 0 || !S_ISREG(status.st_mode)) {
      setError(path + " is not a regular file", 0);
      return false;
    }
    if (static_cast<uint64_t>(status.st_size) > *inputLimit_) {
      setError(path + " is too large: " + std::to_string(status.st_size) + " bytes, at most " +
                   std::to_string(*inputLimit_),
               0);
      return false;
    }
  }
  if (!file || !source.read(file.get(), inputLimit_.value_or(UINT64_MAX), true)) {
    setError("couldn't read " + path, 0);
    return false;
  }
  return true;
}

bool XMLDocument::load(const std::string& path) {
  XMLSource source;
  return read(path, source) && parse(source.text());
}

bool XMLDocument::write(std::FILE* file, uint32_t indent, uint32_t lineWidth) {
  indent_ = indent;
  lineWidth_ = lineWidth;
  XMLWriter writer(indent, lineWidth, file);
  writer.writeDocument(*this);
  return writer.finish();
}

std::string XMLDocument::writeToString(uint32_t indent, uint32_t lineWidth) {
  indent_ = indent;
  lineWidth_ = lineWidth;
  XMLWriter writer(indent, lineWidth);
  writer.writeDocument(*this);
  return std::move(writer.text());
}

bool XMLDocument::save(const std::string& path, uint32_t indent, uint32_t lineWidth) {
  const std::string text = writeToString(indent, lineWidth);
  errorText_.clear();
  errorLine_ = 0;
  std::FILE* file = std::fopen(path.c_str(), "wb");
  bool ok = file != nullptr;
  if (file) {
    ok = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    ok = std::fclose(file) == 0 && ok;
  }
  if (!ok) setError("couldn't write " + path, 0);
  return ok;
}

std::optional<std::string> XMLDocument::doctypeOf(const std::string& path) {
  int reason = 0;
  UniqueFile file = openTextFileForReading(path, reason);
  if (!file) return std::nullopt;
  char bytes[kDoctypeProbeSize];
  const size_t size = std::fread(bytes, 1, sizeof bytes, file.get());
  const std::string_view head(bytes, size);

  // The first "<" that does not open a processing instruction or declaration.
  size_t at = 0;
  while ((at = head.find('<', at)) != std::string_view::npos) {
    if (at + 1 >= size || head[at + 1] != '?') break;
    ++at;
  }
  if (at == std::string_view::npos) return std::nullopt;
  constexpr std::string_view kKeyword = "!DOCTYPE ";
  if (head.substr(at + 1, kKeyword.size()) != kKeyword) return std::nullopt;
  size_t p = at + 1 + kKeyword.size();
  while (p < size && xml_char::is(head[p], xml_char::kSpace)) ++p;
  const size_t start = p;
  while (p < size && xml_char::is(head[p], xml_char::kDoctype)) ++p;
  // A name that runs to the end of the probe may be cut short: no answer.
  if (p >= size) return std::nullopt;
  return std::string(head.substr(start, p - start));
}

std::unique_ptr<XMLNode> XMLDocument::clone(XMLDocument& document, const XMLNode& node) {
  std::unique_ptr<XMLNode> top = copyNode(document, node);
  // Pairs of (source, copy) whose children still have to be copied.
  std::vector<std::pair<const XMLNode*, XMLNode*>> pending;
  if (node.firstChild()) pending.emplace_back(&node, top.get());
  while (!pending.empty()) {
    const auto [source, copy] = pending.back();
    pending.pop_back();
    for (const XMLNode* child = source->firstChild(); child; child = child->nextSibling()) {
      std::unique_ptr<XMLNode> childCopy = copyNode(document, *child);
      XMLNode* raw = childCopy.get();
      copy->appendChild(std::move(childCopy));
      if (child->firstChild()) pending.emplace_back(child, raw);
    }
  }
  return top;
}

XMLNode* XMLDocument::clone(XMLDocument& document, const XMLNode& node, XMLNode& parent) {
  std::unique_ptr<XMLNode> copy = clone(document, node);
  XMLNode* raw = copy.get();
  parent.appendChild(std::move(copy));
  return raw;
}

}  // namespace tidewater
