#include "REL/ID.h"

#include "REL/Module.h"
#include "Zorvik/Logger.h"
#include "Zorvik/TextEncoding.h"

#include <windows.h>

namespace REL {

namespace {

constexpr int kPlatformSteam = 0;
constexpr int kPlatformOther = 1;

std::string narrow(const std::wstring& path)
{
    return Zorvik::detail::utf16_to_utf8(path).value_or("<unknown filename>");
}

}  // namespace

IDDatabase::~IDDatabase()
{
    release_mapping();
}

IDDatabase& IDDatabase::get()
{
    static IDDatabase database;
    return database;
}

void IDDatabase::load_once()
{
    if (loaded_.load(std::memory_order_acquire)) {
        return;
    }
    const std::scoped_lock guard(loadLock_);
    if (!loaded_.load(std::memory_order_relaxed)) {
        const Version version = Module::get().version();
        load_file(addresslib_filename(), version);
        loaded_.store(true, std::memory_order_release);
    }
}

std::uint64_t IDDatabase::id2offset(std::uint64_t id) const
{
    const auto* entry = index_.find(table_, id);
    if (entry == nullptr) {
        Zorvik::report_fatal(database::missing_id_message(id));
    }
    return entry->offset;
}

std::wstring IDDatabase::addresslib_filename()
{
    const auto version = Module::get().version();
    std::filesystem::path path = std::filesystem::current_path();
    path /= L"Data\\Zorvik\\Plugins\\versionlib-" + Zorvik::detail::utf8_to_utf16(version.string("-")).value_or(L"");

    platform_ = -1;
    steam_ = GetModuleHandleW(L"steam_api64") != nullptr;
    platform_ = steam_ ? kPlatformSteam : kPlatformOther;

    std::wstring file = path.wstring();
    if (platform_ != kPlatformSteam) {
        file += L"-" + std::to_wstring(platform_);
    }
    file += L".bin";
    if (GetFileAttributesW(file.c_str()) == INVALID_FILE_ATTRIBUTES) {
        Zorvik::report_fatal(fmt::format("Failed to find address library file: \n{}", narrow(file)));
    }
    return file;
}

bool IDDatabase::load_file(const std::wstring& path, const Version& version)
{
    try {
        database::istream_t input(std::filesystem::path(path), std::ios_base::in);
        if (!input.is_open()) {
            Zorvik::report_fatal("failed to open address library file");
        }
        database::header_t header;
        header.read(input);
        if (header.version != version) {
            Zorvik::report_fatal(
                fmt::format("Address library version mismatch.\nRead-in: {}", header.version.string(".")));
        }
        // Every entry takes at least its type byte: a count the file cannot
        // hold is a truncated file, known before any memory is mapped for it.
        input.require(header.addressCount);

        const auto name = Zorvik::detail::utf8_to_utf16(
            fmt::format("Marrowkit-Offsets-v{}-{}-{}", database::kFormat, version.string("-"), platform_));
        if (!name) {
            Zorvik::report_fatal("Failed to generate memory map name.");
        }
        const std::uint64_t size = std::uint64_t{header.addressCount} * sizeof(database::mapping_t);
        if (size == 0) {
            // An empty table needs no mapping (the system has no empty ones);
            // every lookup then fails.
            release_mapping();
            index_.build(table_);
            return true;
        }
        if (!map_existing(*name, size)) {
            create_mapping(*name, size);
            unpack_file(input, header);
            database::sort_table(table_);
        }  // else another plugin of this process decoded it already
        index_.build(table_);
    } catch (const std::ios_base::failure&) {
        Zorvik::report_fatal(fmt::format(
            "Failed to locate an appropriate address library with the path: {}\nThis means you are either missing the "
            "address library for this specific version of the game or running on unsupported platform.\nPlease "
            "continue to the mod page for address library to download an appropriate version or platform. \nIf one is "
            "not available, then it is likely that address library has not yet added support for this version of the "
            "game or this platform.\nCurrent version: {}\nCurrent platform: {}",
            narrow(path), version.string("."), steam_ ? "Steam" : "Microsoft Store"));
    }
    return true;
}

void IDDatabase::unpack_file(database::istream_t& input, const database::header_t& header)
{
    database::unpack(input, header, table_);
}

void IDDatabase::release_mapping() noexcept
{
    if (view_ != nullptr) {
        UnmapViewOfFile(view_);
        view_ = nullptr;
    }
    if (mapping_ != nullptr) {
        CloseHandle(mapping_);
        mapping_ = nullptr;
    }
    table_ = {};
}

bool IDDatabase::map_existing(const std::wstring& name, std::uint64_t size)
{
    release_mapping();
    mapping_ = OpenFileMappingW(FILE_MAP_READ | FILE_MAP_WRITE, FALSE, name.c_str());
    if (mapping_ == nullptr) {
        return false;
    }
    view_ = MapViewOfFile(mapping_, FILE_MAP_READ | FILE_MAP_WRITE, 0, 0, static_cast<SIZE_T>(size));
    if (view_ == nullptr) {
        release_mapping();
        return false;
    }
    table_ = {static_cast<database::mapping_t*>(view_), static_cast<std::size_t>(size / sizeof(database::mapping_t))};
    return true;
}

void IDDatabase::create_mapping(const std::wstring& name, std::uint64_t size)
{
    release_mapping();
    mapping_ = OpenFileMappingW(FILE_MAP_READ | FILE_MAP_WRITE, FALSE, name.c_str());
    if (mapping_ == nullptr) {
        mapping_ = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, static_cast<DWORD>(size >> 32),
                                      static_cast<DWORD>(size), name.c_str());
    }
    if (mapping_ == nullptr) {
        Zorvik::report_fatal("failed to create shared mapping");
    }
    view_ = MapViewOfFile(mapping_, FILE_MAP_READ | FILE_MAP_WRITE, 0, 0, static_cast<SIZE_T>(size));
    if (view_ == nullptr) {
        Zorvik::report_fatal("failed to create shared mapping");
    }
    table_ = {static_cast<database::mapping_t*>(view_), static_cast<std::size_t>(size / sizeof(database::mapping_t))};
}

std::uintptr_t ID::address() const
{
    const auto base = Module::get().base();
    return static_cast<std::uintptr_t>(base + offset());
}

std::uint64_t ID::offset() const
{
    auto& database = IDDatabase::get();
    database.load_once();
    return database.id2offset(id_);
}

}  // namespace REL
