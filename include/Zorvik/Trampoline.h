#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace Zorvik {

// A block of executable memory within rel32 reach of the game's code. Each
// destination gets one 14-byte absolute jump in it, so that a 5-byte branch in
// the game can reach code anywhere in the address space. Bytes are handed out
// from the front and only the whole block is ever given back.
class Trampoline {
public:
    // Gives a block back; empty for a block whose owner is someone else.
    using deleter_type = std::function<void(void* data, std::size_t size)>;

    explicit Trampoline(std::string_view name);
    ~Trampoline();
    // One owner per block: a copy would give it back twice.
    Trampoline(const Trampoline&) = delete;
    Trampoline& operator=(const Trampoline&) = delete;

    // Reserves `size` bytes within reach of `anchor`, by default of the end of
    // the game executable's code, and takes them with a deleter that releases
    // them. Finding no room is a fatal report.
    void create(std::size_t size, std::optional<std::uintptr_t> anchor = std::nullopt);

    // The search of `create`: the first block of `size` executable bytes
    // within reach of `anchor`, or null. The caller owns the block.
    [[nodiscard]] static void* do_create(std::size_t size, std::uintptr_t anchor);

    // Uses `data` (filled with int3) from now on. The previous block goes back
    // through its own deleter, and its stubs are forgotten.
    void assign_memory(void* data, std::size_t size, deleter_type deleter);

    // The next `size` bytes of the block; running out is a fatal report.
    [[nodiscard]] void* do_allocate(std::size_t size);

    // Routes the 5-byte branch at `source` (opcode and rel32) to `destination`
    // through the destination's stub, and flushes the instruction cache for
    // it. A stub out of rel32 reach is a fatal report before any byte is
    // written; a source whose protection cannot be changed is left as it is,
    // with an error line, and the result is false.
    [[nodiscard]] bool write_5branch(std::uintptr_t source, std::uintptr_t destination, std::uint8_t opcode);

    // "<name> => <size>B / <capacity>B (<percent>%)" at debug level.
    void log_stats() const;

    [[nodiscard]] const std::string& name() const noexcept { return name_; }
    [[nodiscard]] void* data() const noexcept { return data_; }
    [[nodiscard]] std::size_t capacity() const noexcept { return capacity_; }
    [[nodiscard]] std::size_t allocated_size() const noexcept { return size_; }

private:
    void release();

    std::map<std::uintptr_t, std::uintptr_t> fiveByteBranches_;  // destination -> stub
    std::string name_;
    deleter_type deleter_;
    std::byte* data_ = nullptr;
    std::size_t capacity_ = 0;
    std::size_t size_ = 0;
};

// The plugin's one trampoline, "Default Trampoline", made on first request.
[[nodiscard]] Trampoline& GetTrampoline();

}  // namespace Zorvik
