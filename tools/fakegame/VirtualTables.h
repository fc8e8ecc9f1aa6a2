#pragma once

#include <cstdint>

namespace fake::detail {

// A game menu as its name slot reads it: the fake's menu object keeps the name
// right after its virtual-table pointer.
struct MenuObjectView {
    const std::uintptr_t* vtable;
    const char* name;
};

// The virtual tables of the fake's menus and actors.
[[nodiscard]] const std::uintptr_t* MenuVirtualTable() noexcept;
[[nodiscard]] const std::uintptr_t* ActorVirtualTable() noexcept;

}  // namespace fake::detail
