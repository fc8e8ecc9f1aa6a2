#include "VirtualTables.h"

#include "FakeGame.h"
#include "IdInstallation.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdio>
#include <cstdlib>

namespace {

using fake::detail::AddressOfFunction;
using fake::detail::MenuObjectView;

// The virtual tables of the target lists: one word each, compared by address
// only. The last two IDs of list A share the address of an ID of list B and
// of list C, so that the rule for a table in two lists can be tested.
constexpr std::size_t kListA = game_facts::kReferenceTablesA.size();
constexpr std::size_t kListB = game_facts::kReferenceTablesB.size();
constexpr std::size_t kListC = game_facts::kReferenceTablesC.size();
std::array<std::uintptr_t, kListA + kListB + kListC> referenceVTables{};

std::size_t VirtualTableIndex(std::uint64_t id)
{
    const auto& a = game_facts::kReferenceTablesA;
    const auto& b = game_facts::kReferenceTablesB;
    const auto& c = game_facts::kReferenceTablesC;
    if (id == a[kListA - 2]) {
        return kListA + kListB - 1;  // the address of list B's last ID
    }
    if (id == a[kListA - 1]) {
        return kListA + kListB + kListC - 1;  // the address of list C's last ID
    }
    if (const auto found = std::find(a.begin(), a.end(), id); found != a.end()) {
        return static_cast<std::size_t>(found - a.begin());
    }
    if (const auto found = std::find(b.begin(), b.end(), id); found != b.end()) {
        return kListA + static_cast<std::size_t>(found - b.begin());
    }
    if (const auto found = std::find(c.begin(), c.end(), id); found != c.end()) {
        return kListA + kListB + static_cast<std::size_t>(found - c.begin());
    }
    std::fprintf(stderr, "FakeGame: %llu is no ID of the target virtual-table lists\n",
                 static_cast<unsigned long long>(id));
    std::abort();
}

// The menu's virtual function in its name slot.
const char* FakeMenuName(void* menu)
{
    return static_cast<const MenuObjectView*>(menu)->name;
}

bool FakeActorIsInCombat(void* object)
{
    auto& game = FakeGame::Current();
    ++game.calls.isInCombat;
    const fake::Actor* actor = fake::Actor::Find(object);
    if (actor == nullptr) {
        game.Fault("in-combat slot called on an object that is not an actor");
        return false;
    }
    return actor->inCombat;
}

// Every other slot of the fake's virtual tables: the game has functions
// there, but none that the plugin has any business calling.
bool UnexpectedActorCall(void*)
{
    FakeGame::Current().Fault("a virtual function of an actor other than its in-combat slot was called");
    return false;
}

const char* UnexpectedMenuCall(void*)
{
    FakeGame::Current().Fault("a virtual function of a menu other than its name slot was called");
    return nullptr;
}

// Tables reach some slots beyond the one used, so that a neighbouring slot is
// a fault the game reports rather than a read past the table.
constexpr std::size_t kSlotsBeyond = 16;

const std::array<std::uintptr_t, game_facts::kMenuNameSlot + kSlotsBeyond> kMenuVTable = [] {
    std::array<std::uintptr_t, game_facts::kMenuNameSlot + kSlotsBeyond> table{};
    table.fill(AddressOfFunction(&UnexpectedMenuCall));
    table[game_facts::kMenuNameSlot] = AddressOfFunction(&FakeMenuName);
    return table;
}();

const std::array<std::uintptr_t, game_facts::kActorIsInCombatSlot + kSlotsBeyond> kActorVTable = [] {
    std::array<std::uintptr_t, game_facts::kActorIsInCombatSlot + kSlotsBeyond> table{};
    table.fill(AddressOfFunction(&UnexpectedActorCall));
    table[game_facts::kActorIsInCombatSlot] = AddressOfFunction(&FakeActorIsInCombat);
    return table;
}();

}  // namespace

const std::uintptr_t* fake::detail::MenuVirtualTable() noexcept
{
    return kMenuVTable.data();
}

const std::uintptr_t* fake::detail::ActorVirtualTable() noexcept
{
    return kActorVTable.data();
}

const std::uint64_t FakeGame::kTableInListsAAndB = game_facts::kReferenceTablesA[kListA - 2];
const std::uint64_t FakeGame::kTableInListsAAndC = game_facts::kReferenceTablesA[kListA - 1];

std::uintptr_t FakeGame::VirtualTableOf(std::uint64_t id)
{
    return reinterpret_cast<std::uintptr_t>(&referenceVTables[VirtualTableIndex(id)]);
}
