#include "support/MessageBoxRecorder.h"

#include "support/ChildRecord.h"
#include "support/ImportReplacement.h"
#include "support/PluginLogFile.h"

#include <string>

namespace {

void Record(const char* function, HWND owner, UINT type, const std::string& caption, const std::string& text)
{
    ChildRecord::Add(std::string(function) + " owner=" + (owner == nullptr ? "null" : "set") +
                     " type=" + std::to_string(type) + " caption=" + caption + " text=" + text + " after " +
                     std::to_string(PluginLogLines().size()) + " log lines");
}

std::string Utf8(LPCWSTR text)
{
    if (text == nullptr) {
        return "(null)";
    }
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<std::size_t>(size > 0 ? size : 1), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, result.data(), size, nullptr, nullptr);
    result.resize(result.size() - 1);
    return result;
}

int WINAPI RecordedMessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type)
{
    Record("MessageBoxA", owner, type, caption == nullptr ? "(null)" : caption, text == nullptr ? "(null)" : text);
    return IDOK;
}

int WINAPI RecordedMessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type)
{
    Record("MessageBoxW", owner, type, Utf8(caption), Utf8(text));
    return IDOK;
}

}  // namespace

bool RecordMessageBoxA(HMODULE module)
{
    return ReplaceImport(module, "user32.dll", "MessageBoxA", reinterpret_cast<void*>(&RecordedMessageBoxA)) != nullptr;
}

bool RecordMessageBoxW(HMODULE module)
{
    return ReplaceImport(module, "user32.dll", "MessageBoxW", reinterpret_cast<void*>(&RecordedMessageBoxW)) != nullptr;
}
