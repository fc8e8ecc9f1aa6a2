#pragma once

#include <array>
#include <compare>
#include <cstdint>
#include <string>
#include <string_view>

namespace REL {

// A four-part version: major, minor, patch, build.
class Version {
public:
    using value_type = std::uint16_t;

    constexpr Version() noexcept = default;
    constexpr Version(value_type major, value_type minor, value_type patch, value_type build) noexcept
        : parts_{major, minor, patch, build}
    {
    }

    [[nodiscard]] constexpr value_type major() const noexcept { return parts_[0]; }
    [[nodiscard]] constexpr value_type minor() const noexcept { return parts_[1]; }
    [[nodiscard]] constexpr value_type patch() const noexcept { return parts_[2]; }
    [[nodiscard]] constexpr value_type build() const noexcept { return parts_[3]; }
    [[nodiscard]] constexpr value_type& operator[](std::size_t index) noexcept { return parts_[index]; }
    [[nodiscard]] constexpr value_type operator[](std::size_t index) const noexcept { return parts_[index]; }

    // The four parts in decimal joined by `separator`: "1.14.70.0", "1-14-70-0".
    [[nodiscard]] std::string string(std::string_view separator = ".") const;

    friend constexpr bool operator==(const Version&, const Version&) noexcept = default;

private:
    std::array<value_type, 4> parts_{};
};

}  // namespace REL
