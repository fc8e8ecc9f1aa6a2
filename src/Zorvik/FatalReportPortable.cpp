#include "Zorvik/FatalReportPortable.h"

#include <fmt/format.h>

#include <regex>
#include <vector>

namespace Zorvik::detail {

namespace {

constexpr char kSeparator = '\\';

bool IsAsciiLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// "C:" or "\\server" at the start of a path, as a Windows path's root name.
std::size_t RootNameLength(std::string_view path)
{
    if (path.size() >= 2 && IsAsciiLetter(path[0]) && path[1] == ':') {
        return 2;
    }
    if (path.size() > 2 && path[0] == kSeparator && path[1] == kSeparator && path[2] != kSeparator) {
        const auto end = path.find(kSeparator, 2);
        return end == std::string_view::npos ? path.size() : end;
    }
    return 0;
}

}  // namespace

std::string normalize_source_path(std::string_view path)
{
    std::string slashed(path);
    for (auto& c : slashed) {
        if (c == '/') {
            c = kSeparator;
        }
    }
    const std::string_view whole = slashed;
    const std::size_t rootNameLength = RootNameLength(whole);
    const std::string_view rootName = whole.substr(0, rootNameLength);
    std::string_view rest = whole.substr(rootNameLength);
    const bool hasRootDirectory = !rest.empty() && rest.front() == kSeparator;

    // A path whose last element was a directory step ("a\b\..", "a\.",
    // "a\") names a directory and keeps a trailing separator.
    std::vector<std::string_view> elements;
    std::string_view lastElement;
    while (!rest.empty()) {
        const auto end = rest.find(kSeparator);
        const std::string_view element = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view{} : rest.substr(end + 1);
        if (element.empty()) {
            continue;
        }
        lastElement = element;
        if (element == ".") {
            continue;
        }
        if (element == "..") {
            if (!elements.empty() && elements.back() != "..") {
                elements.pop_back();
                continue;
            }
            if (hasRootDirectory) {
                continue;  // nothing lies above the root
            }
        }
        elements.push_back(element);
    }
    const bool namesDirectory =
        (!whole.empty() && whole.back() == kSeparator) || lastElement == "." || lastElement == "..";

    std::string normal(rootName);
    if (hasRootDirectory) {
        normal += kSeparator;
    }
    // A relative path whose first element reads as a drive ("./C:x") keeps its
    // leading ".": dropped, it would name the drive-relative path "C:x".
    if (rootName.empty() && !hasRootDirectory && !elements.empty() && RootNameLength(elements.front()) != 0) {
        normal += '.';
        normal += kSeparator;
    }
    for (std::size_t i = 0; i < elements.size(); ++i) {
        if (i != 0) {
            normal += kSeparator;
        }
        normal += elements[i];
    }
    if (namesDirectory && !elements.empty() && elements.back() != "..") {
        normal += kSeparator;
    }
    if (normal.empty() && !whole.empty()) {
        normal = ".";
    }
    return normal;
}

std::string shorten_source_path(std::string_view normalizedPath)
{
    static const std::regex kBelowSourceFolder(R"((?:^|[\\\/])(?:include|src)[\\\/](.*)$)", std::regex::ECMAScript);
    std::string path(normalizedPath);
    std::smatch match;
    if (std::regex_search(path, match, kBelowSourceFolder)) {
        return match[1].str();
    }
    return path;
}

std::string fatal_box_text(std::string_view sourcePath, std::uint_least32_t line, std::string_view message)
{
    return fmt::format("{}({}): {}", shorten_source_path(normalize_source_path(sourcePath)), line, message);
}

}  // namespace Zorvik::detail
