// The extension of a file name, as the file dialog reports it and the formats are chosen by.
#pragma once

#include <string>
#include <string_view>

namespace vantrel {

// The part after the last dot of the name's last component, without the dot; "" when none.
std::string ExtensionOf(std::string_view path);

// Lower-case ASCII letters; other bytes stay.
std::string LowerCaseAscii(std::string_view text);

}  // namespace vantrel
