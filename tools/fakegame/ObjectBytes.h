#pragma once

#include <array>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <type_traits>

namespace fake {

// Bytes of a game object; fields are written and read at the game's offsets.
template <std::size_t Size>
class ObjectBytes {
public:
    template <class T>
    void write(std::size_t offset, T value) noexcept
    {
        static_assert(std::is_trivially_copyable_v<T>);
        static_assert(!std::is_null_pointer_v<T>, "the bytes of nullptr are unspecified: write a typed null");
        RequireInside(offset, sizeof(value));
        std::memcpy(bytes_.data() + offset, &value, sizeof(value));
    }
    template <class T>
    [[nodiscard]] T read(std::size_t offset) const noexcept
    {
        T value;
        RequireInside(offset, sizeof(value));
        std::memcpy(&value, bytes_.data() + offset, sizeof(value));
        return value;
    }
    [[nodiscard]] void* data() noexcept { return bytes_.data(); }
    [[nodiscard]] const void* data() const noexcept { return bytes_.data(); }

private:
    // A field the game keeps outside the object is a fault of the fake itself.
    static void RequireInside(std::size_t offset, std::size_t width) noexcept
    {
        if (offset > Size || width > Size - offset) {
            std::fprintf(stderr, "FakeGame: a field at 0x%zX lies outside an object of 0x%zX bytes\n", offset, Size);
            std::abort();
        }
    }

    alignas(16) std::array<std::byte, Size> bytes_{};
};

}  // namespace fake
