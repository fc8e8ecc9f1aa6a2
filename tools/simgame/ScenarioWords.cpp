#include "ScenarioWords.h"

namespace sim::scenario_syntax {

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

}  // namespace

std::vector<std::string_view> Words(std::string_view text)
{
    std::vector<std::string_view> words;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && IsBlank(text[i])) {
            ++i;
        }
        const std::size_t start = i;
        while (i < text.size() && !IsBlank(text[i])) {
            ++i;
        }
        if (i > start) {
            words.push_back(text.substr(start, i - start));
        }
    }
    return words;
}

std::string_view WithoutComment(std::string_view line)
{
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '#' && (i == 0 || IsBlank(line[i - 1]))) {
            return line.substr(0, i);
        }
    }
    return line;
}

std::string_view Trimmed(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

std::string Quoted(std::string_view word)
{
    // Bytes that are not printable ASCII are shown as \xNN, so an error about
    // a binary file stays one readable line.
    std::string text = "\"";
    constexpr std::string_view kDigits = "0123456789abcdef";
    for (const char c : word.substr(0, 40)) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7F) {
            text += c;
        } else {
            text += "\\x";
            text += kDigits[byte >> 4];
            text += kDigits[byte & 0xF];
        }
    }
    return text + (word.size() > 40 ? "...\"" : "\"");
}

std::size_t Choose(std::string_view word, std::initializer_list<std::string_view> choices, std::string_view what)
{
    std::size_t index = 0;
    std::string names;
    for (const std::string_view choice : choices) {
        if (word == choice) {
            return index;
        }
        names += (names.empty() ? "" : " or ") + std::string(choice);
        ++index;
    }
    throw LineError{what.empty() ? Quoted(word) + " is not " + names
                                 : std::string(what) + " is " + names + ", not " + Quoted(word)};
}

void ExpectWords(const std::vector<std::string_view>& words, std::size_t count, std::string_view usage)
{
    if (words.size() != count) {
        throw LineError{"\"" + std::string(words.front()) + "\" takes " +
                        (count == 1 ? std::string("nothing") : "this form: " + std::string(usage)) +
                        (words.size() < count ? " (something is missing)" : " (too many words)")};
    }
}

}  // namespace sim::scenario_syntax
