#pragma once

#include "REL/Version.h"

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <ios>
#include <mutex>
#include <span>
#include <string>
#include <type_traits>
#include <vector>

namespace REL {

namespace database {

// The packed format this runtime reads.
inline constexpr std::uint32_t kFormat = 2;

// One decoded entry: an ID and its offset from the executable's base.
struct mapping_t {
    std::uint64_t id;
    std::uint64_t offset;
};
static_assert(sizeof(mapping_t) == 16);

// The address-library file, read whole, with reads that raise a stream
// failure on any short read: a truncated file never reads past its end.
class istream_t {
public:
    // Opens `path` for binary reading; is_open() tells whether it could.
    istream_t(const std::filesystem::path& path, std::ios_base::openmode mode);
    // The same reads over bytes already in memory.
    explicit istream_t(std::vector<std::byte> bytes) noexcept;

    [[nodiscard]] bool is_open() const noexcept { return open_; }
    [[nodiscard]] std::size_t remaining() const noexcept { return bytes_.size() - position_; }

    template <class T>
    requires std::is_trivially_copyable_v<T>
    [[nodiscard]] T read()
    {
        T value;
        read_bytes(&value, sizeof(value));
        return value;
    }

    void read_bytes(void* destination, std::size_t count)
    {
        require(count);
        std::memcpy(destination, bytes_.data() + position_, count);
        position_ += count;
    }

    void ignore(std::size_t count)
    {
        require(count);
        position_ += count;
    }

    // A stream failure unless at least `count` bytes are left.
    void require(std::size_t count) const
    {
        if (count > remaining()) {
            fail();
        }
    }

private:
    [[noreturn]] static void fail();

    std::vector<std::byte> bytes_;
    std::size_t position_ = 0;
    bool open_ = false;
};

struct header_t {
    // Reads and checks the header; an unsupported format is a fatal report.
    void read(istream_t& input);

    // The file's name holds at most 19 characters here; a longer name is read
    // in full and cut, since nothing compares it.
    std::array<char, 20> name{};
    Version version;
    std::uint32_t pointerSize = 0;
    std::uint32_t addressCount = 0;
};

// The fatal report's text for an ID the table does not hold.
[[nodiscard]] std::string missing_id_message(std::uint64_t id);

// Decodes header.addressCount packed entries into `table` (of that size).
void unpack(istream_t& input, const header_t& header, std::span<mapping_t> table);

// Sorts the table by ID. A table decoded in order costs one pass; a few
// entries out of order are sorted apart and merged back.
void sort_table(std::span<mapping_t> table);

// The entry of `id` in a sorted table, or null: the first entry whose ID is
// not less than `id`, when it is that ID.
[[nodiscard]] const mapping_t* find(std::span<const mapping_t> table, std::uint64_t id) noexcept;

// Every 32nd ID of a sorted table, small enough to stay in cache: a lookup
// searches it first and then one block of the table, so that it waits on one
// memory read of the table instead of several.
class lookup_index {
public:
    void build(std::span<const mapping_t> table);
    // What find(table, id) gives, for the table the index was built from.
    [[nodiscard]] const mapping_t* find(std::span<const mapping_t> table, std::uint64_t id) const noexcept;

private:
    static constexpr std::size_t kStride = 32;
    std::vector<std::uint64_t> samples_;
};

}  // namespace database

// The address library of the running game: IDs to offsets from the game
// executable's base, decoded once per process into a named shared mapping.
class IDDatabase {
public:
    IDDatabase() = default;
    ~IDDatabase();
    IDDatabase(const IDDatabase&) = delete;
    IDDatabase& operator=(const IDDatabase&) = delete;

    [[nodiscard]] static IDDatabase& get();

    // Loads the library of the running executable once, on first use.
    void load_once();

    [[nodiscard]] std::uint64_t id2offset(std::uint64_t id) const;

    // Data\Zorvik\Plugins\versionlib-<version>[-1].bin under the current
    // directory, "-1" outside the Steam build.
    [[nodiscard]] std::wstring addresslib_filename();

    bool load_file(const std::wstring& path, const Version& version);

    // Platform of the running game: -1 before detection, 0 Steam, 1 otherwise.
    [[nodiscard]] int platform() const noexcept { return platform_; }
    [[nodiscard]] std::span<const database::mapping_t> table() const noexcept { return table_; }

private:
    void unpack_file(database::istream_t& input, const database::header_t& header);
    void release_mapping() noexcept;
    bool map_existing(const std::wstring& name, std::uint64_t size);
    void create_mapping(const std::wstring& name, std::uint64_t size);

    void* mapping_ = nullptr;
    void* view_ = nullptr;
    std::span<database::mapping_t> table_;
    database::lookup_index index_;
    std::atomic<bool> loaded_{false};
    std::mutex loadLock_;
    int platform_ = -1;
    bool steam_ = false;
};

// A game function or datum named by its stable address-library ID.
class ID {
public:
    constexpr explicit ID(std::uint64_t id) noexcept : id_(id) {}

    [[nodiscard]] constexpr std::uint64_t id() const noexcept { return id_; }
    // Its absolute address in the running game executable.
    [[nodiscard]] std::uintptr_t address() const;
    [[nodiscard]] std::uint64_t offset() const;

private:
    std::uint64_t id_;
};

}  // namespace REL
