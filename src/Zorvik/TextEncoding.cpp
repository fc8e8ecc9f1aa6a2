#include "Zorvik/TextEncoding.h"

#include <windows.h>

namespace Zorvik::detail {

std::optional<std::wstring> utf8_to_utf16(std::string_view text)
{
    const auto length = static_cast<int>(text.size());
    const int wideLength = MultiByteToWideChar(CP_UTF8, 0, text.data(), length, nullptr, 0);
    if (wideLength <= 0) {
        return std::nullopt;
    }
    std::wstring wide(static_cast<std::size_t>(wideLength), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), length, wide.data(), wideLength);
    return wide;
}

std::optional<std::string> utf16_to_utf8(std::wstring_view text)
{
    const auto length = static_cast<int>(text.size());
    const int narrowLength = WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    if (narrowLength <= 0) {
        return std::nullopt;
    }
    std::string narrow(static_cast<std::size_t>(narrowLength), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), length, narrow.data(), narrowLength, nullptr, nullptr);
    return narrow;
}

}  // namespace Zorvik::detail
