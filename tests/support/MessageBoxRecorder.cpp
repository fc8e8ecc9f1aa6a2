#include "support/MessageBoxRecorder.h"

#include "support/ChildRecord.h"
#include "support/ImportReplacement.h"
#include "support/PluginLogFile.h"

#include <string>

namespace {

void (*recordAtTheBox)() = nullptr;

void Record(const char* function, HWND owner, UINT type, const std::string& caption, const std::string& text)
{
    ChildRecord::Add(std::string(function) + " owner=" + (owner == nullptr ? "null" : "set") +
                     " type=" + std::to_string(type) + " caption=" + caption + " text=" + text + " after " +
                     std::to_string(PluginLogLines().size()) + " log lines");
    if (recordAtTheBox != nullptr) {
        recordAtTheBox();
    }
}

std::string Utf8(LPCWSTR text)
{
    std::string result(4096, '\0');
    const int size = text == nullptr ? 0
                                     : WideCharToMultiByte(CP_UTF8, 0, text, -1, result.data(),
                                                           static_cast<int>(result.size()), nullptr, nullptr);
    result.resize(size > 0 ? static_cast<std::size_t>(size - 1) : 0);
    return result;
}

int WINAPI RecordedMessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type)
{
    Record("MessageBoxA", owner, type, caption, text);
    return IDOK;
}

int WINAPI RecordedMessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type)
{
    Record("MessageBoxW", owner, type, Utf8(caption), Utf8(text));
    return IDOK;
}

}  // namespace

bool RecordMessageBoxA(HMODULE module, void (*atTheBox)())
{
    recordAtTheBox = atTheBox;
    return ReplaceImport(module, "user32.dll", "MessageBoxA", reinterpret_cast<void*>(&RecordedMessageBoxA)) != nullptr;
}

bool RecordMessageBoxW(HMODULE module, void (*atTheBox)())
{
    recordAtTheBox = atTheBox;
    return ReplaceImport(module, "user32.dll", "MessageBoxW", reinterpret_cast<void*>(&RecordedMessageBoxW)) != nullptr;
}
