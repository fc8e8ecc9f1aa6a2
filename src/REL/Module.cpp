#include "REL/Module.h"

#include "REL/ModulePortable.h"
#include "Zorvik/Logger.h"
#include "Zorvik/TextEncoding.h"

#include <windows.h>

#include <map>
#include <memory>
#include <mutex>
#include <vector>

namespace REL {

namespace {

constexpr std::uintptr_t kHandleFlagBits = 0x3;

// The full path of the process's executable, in wide form so that a game
// folder with any characters in its name is found again.
std::wstring executable_path()
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) {
            return {};
        }
        if (length < path.size() || path.size() >= 32768) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

}  // namespace

std::optional<Version> get_file_version(const std::wstring& path)
{
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
    if (size == 0) {
        return std::nullopt;
    }
    std::vector<std::byte> info(size);
    if (!GetFileVersionInfoW(path.c_str(), 0, size, info.data())) {
        return std::nullopt;
    }
    void* text = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(info.data(), L"\\StringFileInfo\\040904B0\\ProductVersion", &text, &length) ||
        text == nullptr) {
        return std::nullopt;
    }
    // The length counts the terminator when there is one.
    std::wstring_view version(static_cast<const wchar_t*>(text), length);
    if (const auto end = version.find(L'\0'); end != std::wstring_view::npos) {
        version = version.substr(0, end);
    }
    return detail::parse_product_version(version);
}

Module::Module(std::uintptr_t base)
{
    if (base == 0) {
        Zorvik::report_fatal("failed to initializing module info with null module base");
    }
    base_ = base;
    segments_ = detail::read_segments(base_);
    filename_ = executable_path();
    const auto version = get_file_version(filename_);
    if (!version) {
        // Without the game's version no address library can be chosen.
        Zorvik::report_fatal(fmt::format("failed to read the product version of the game executable: {}",
                                         Zorvik::detail::utf16_to_utf8(filename_).value_or("<unknown filename>")));
    }
    version_ = *version;
}

const Module& Module::get()
{
    // The process's main module never changes: look it up once.
    static const Module& game = get(reinterpret_cast<std::uintptr_t>(GetModuleHandleW(nullptr)));
    return game;
}

const Module& Module::get(std::uintptr_t handle)
{
    static std::mutex lock;
    static std::map<std::uintptr_t, std::unique_ptr<Module>> registry;
    const std::uintptr_t key = handle & ~kHandleFlagBits;
    const std::scoped_lock guard(lock);
    auto& record = registry[key];
    if (!record) {
        record = std::make_unique<Module>(key);
    }
    return *record;
}

}  // namespace REL
