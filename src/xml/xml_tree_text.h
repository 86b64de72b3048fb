#pragma once
// Text-level lookups on an XML tree, for readers of text-bearing files
// (register descriptions keep their values as element text).

#include <string>
#include <string_view>

#include "xml/xml_element.h"

namespace tidewater {

/// The concatenated text of the element's data children (other children are
/// ignored); "" for a null element.
std::string elementText(const XMLElement* element);

/// The first element named "tag" in the sibling chain that starts at "first"
/// ("first" included); null when there is none.
XMLElement* findElement(XMLNode* first, std::string_view tag);

/// The text of the first child element of "element" named "tag"; "" when
/// there is none.
std::string childText(const XMLElement* element, std::string_view tag);

/// childText of "first", or, when that is empty, of "second" (a value an
/// element inherits from the element it is derived from).
std::string childText(const XMLElement* first, const XMLElement* second, std::string_view tag);

}  // namespace tidewater
