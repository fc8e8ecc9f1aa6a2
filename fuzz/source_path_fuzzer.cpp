// The fatal report's path handling on arbitrary text: the normal form is a
// fixed point, uses only backslashes, and the short form is a tail of it.

#include "FuzzSupport.h"
#include "Zorvik/FatalReportPortable.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::string normal = Zorvik::detail::normalize_source_path(input);
    Check(normal.find('/') == std::string::npos, "no forward slash in the normal form");
    Check(Zorvik::detail::normalize_source_path(normal) == normal, "the normal form is a fixed point");
    const std::string shortened = Zorvik::detail::shorten_source_path(normal);
    Check(normal.ends_with(shortened), "the short form is a tail of the normal form");
    (void)Zorvik::detail::fatal_box_text(input, 1, input);
    return 0;
}
