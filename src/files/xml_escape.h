// Text put into an XML document: the caption writers' and the check reports'.
#pragma once

#include <string>
#include <string_view>

namespace vantrel {

// Appends `text` for an element or an attribute in double quotes: markup escaped, and the
// control characters XML 1.0 has no place for (all but tab, line feed and carriage return)
// left out, so that no text makes the document unreadable.
void AppendXmlEscaped(std::string& out, std::string_view text);

}  // namespace vantrel
