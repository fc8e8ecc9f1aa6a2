#include "REL/Version.h"

#include <fmt/format.h>

namespace REL {

std::string Version::string(std::string_view separator) const
{
    return fmt::format("{}{}{}{}{}{}{}", major(), separator, minor(), separator, patch(), separator, build());
}

}  // namespace REL
