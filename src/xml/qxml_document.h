#pragma once

#include "xml/xml_document.h"

namespace tidewater {

/// The document class of files named by path, and the base of the
/// description-file documents (the preprocessor, memory maps, SVD files).
/// Path names are UTF-8 byte strings throughout the program, so the file
/// access of XMLDocument serves unchanged; the factory stays the plain one.
class QXMLDocument : public XMLDocument {
 public:
  explicit QXMLDocument(bool keepText = false) : XMLDocument(keepText) {}
};

}  // namespace tidewater
