#pragma once

#include "REL/Version.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace REL {

enum class SegmentKind : std::size_t {
    TextExecutable,
    ImportData,
    ReadOnlyData,
    Data,
    ExceptionData,
    ThreadLocalStorage,
    TextWritable,
    ControlFlowGuardIds,
};
inline constexpr std::size_t kSegmentKindCount = 8;

// One section of a module as loaded: its module's base, its address and size.
struct Segment {
    std::uint64_t proxyBase = 0;
    std::uint64_t address = 0;
    std::uint64_t size = 0;

    [[nodiscard]] constexpr std::uint64_t end() const noexcept { return address + size; }
};

// The product version of a file, from the US-English Unicode string table of
// its version resource; nothing without one or when it does not parse.
[[nodiscard]] std::optional<Version> get_file_version(const std::wstring& path);

// The description of a loaded module: base, main sections and product version.
class Module {
public:
    // Reads the PE headers at `base` and the product version of the process's
    // executable file. A null base or a file without a readable product
    // version is a fatal report.
    explicit Module(std::uintptr_t base);

    // The game executable: the main module of the process.
    [[nodiscard]] static const Module& get();
    // The record of a loaded module, made on first request. The two lowest
    // bits of the handle are flags, not address.
    [[nodiscard]] static const Module& get(std::uintptr_t handle);

    [[nodiscard]] std::uint64_t base() const noexcept { return base_; }
    [[nodiscard]] const Segment& segment(SegmentKind kind) const noexcept
    {
        return segments_[static_cast<std::size_t>(kind)];
    }
    [[nodiscard]] const Version& version() const noexcept { return version_; }
    [[nodiscard]] const std::wstring& filename() const noexcept { return filename_; }

private:
    std::uint64_t base_ = 0;
    std::array<Segment, kSegmentKindCount> segments_{};
    Version version_;
    std::wstring filename_;
};

}  // namespace REL
