#include "xml/xml_document.h"

#include <sys/stat.h>

#include <cstring>
#include <utility>
#include <vector>

#include "base/text_file.h"
#include "xml/mapped_file.h"
#include "xml/xml_char_class.h"
#include "xml/xml_parser.h"
#include "xml/xml_writer.h"

namespace tidewater {

namespace {

constexpr size_t kErrorTextLimit = 1023;
// doctypeOf looks at no more than this many leading bytes.
constexpr size_t kDoctypeProbeSize = 1024;

/// The bytes of a whole file, followed by a NUL.
struct FileBytes {
  std::unique_ptr<char[]> data;
  size_t size = 0;
};

/// Reads the whole stream (from its start when it can seek) straight into
/// one buffer, sized by the seek when the stream has one and grown while
/// more comes (a pipe, or a file that grew). The buffer is not cleared
/// first: every byte of it that is read is written by the read.
/// At most "limit" bytes are taken; a stream with more fails.
bool readAll(std::FILE* file, FileBytes& bytes, uint64_t limit = UINT64_MAX) {
  size_t capacity = 64 * 1024;
  if (std::fseek(file, 0, SEEK_END) == 0) {
    const long size = std::ftell(file);
    if (size > 0) capacity = static_cast<size_t>(size) + 1;  // one more, to see the end
    std::rewind(file);
  }
  if (limit < capacity) capacity = static_cast<size_t>(limit) + 1;
  auto data = std::make_unique_for_overwrite<char[]>(capacity + 1);
  size_t used = 0;
  for (;;) {
    used += std::fread(data.get() + used, 1, capacity - used, file);
    if (used < capacity) break;
    if (used > limit) return false;
    auto larger = std::make_unique_for_overwrite<char[]>(capacity * 2 + 1);
    std::memcpy(larger.get(), data.get(), used);
    data = std::move(larger);
    capacity *= 2;
  }
  data[used] = '\0';
  bytes.data = std::move(data);
  bytes.size = used;
  return std::ferror(file) == 0;
}

std::unique_ptr<XMLNode> copyNode(XMLDocument& document, const XMLNode& node) {
  switch (node.kind()) {
    case XMLNode::Kind::Element: {
      const auto& source = static_cast<const XMLElement&>(node);
      std::unique_ptr<XMLElement> copy = document.createElement(source.name());
      if (!copy) copy = std::make_unique<XMLElement>(source.name());
      for (const XMLAttribute& attribute : source.attributes()) copy->setAttribute(attribute.name, attribute.value);
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

bool XMLDocument::parse(const char* buffer) {
  root_.reset();
  errorText_.clear();
  errorLine_ = 0;
  XMLParser parser(*this, buffer);
  return parser.run();
}

bool XMLDocument::parseBuffer(const char* content, size_t size) {
  // A UTF-8 byte-order mark is not part of the document.
  const bool bom = size >= 3 && std::memcmp(content, "\xEF\xBB\xBF", 3) == 0;
  return parse(content + (bom ? 3 : 0));
}

bool XMLDocument::parseFile(std::FILE* file) {
  FileBytes bytes;
  if (!readAll(file, bytes)) {
    root_.reset();
    setError("couldn't read file", 0);
    return false;
  }
  return parseBuffer(bytes.data.get(), bytes.size);
}

bool XMLDocument::load(const std::string& path) {
  int reason = 0;
  UniqueFile file = openTextFileForReading(path, reason);
  FileBytes bytes;
  if (file && inputLimit_) {
    // Checked before reading: a device such as /dev/zero never ends.
    struct stat status {};
    if (::fstat(::fileno(file.get()), &status) != 0 || !S_ISREG(status.st_mode)) {
      root_.reset();
      setError(path + " is not a regular file", 0);
      return false;
    }
    if (static_cast<uint64_t>(status.st_size) > *inputLimit_) {
      root_.reset();
      setError(path + " is too large: " + std::to_string(status.st_size) + " bytes, at most " +
                   std::to_string(*inputLimit_),
               0);
      return false;
    }
  }
  if (file) {
    const MappedFile mapped(::fileno(file.get()), inputLimit_.value_or(UINT64_MAX));
    if (mapped.data()) return parseBuffer(mapped.data(), mapped.size());
  }
  if (!file || !readAll(file.get(), bytes, inputLimit_.value_or(UINT64_MAX))) {
    root_.reset();
    setError("couldn't read " + path, 0);
    return false;
  }
  return parseBuffer(bytes.data.get(), bytes.size);
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
