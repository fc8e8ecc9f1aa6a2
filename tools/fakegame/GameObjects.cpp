#include "GameObjects.h"

#include "VirtualTables.h"

#include <algorithm>
#include <atomic>
#include <iterator>
#include <string_view>
#include <utility>

namespace {

// The live actors, so that an address handed to a game function can be told
// to be one of them (Actor::Find).
std::vector<fake::Actor*>& LiveActors()
{
    static std::vector<fake::Actor*> actors;
    return actors;
}

}  // namespace

namespace fake {

std::vector<UI*>& detail::LiveUIs()
{
    static std::vector<UI*> uis;
    return uis;
}

MenuEntry MenuEntry::Null()
{
    MenuEntry entry("");
    entry.name.reset();
    entry.nullEntry = true;
    return entry;
}

MenuEntry MenuEntry::Nameless()
{
    MenuEntry entry("");
    entry.name.reset();
    return entry;
}

UI::UI()
{
    detail::LiveUIs().push_back(this);
    SetMenus({});
}

UI::~UI()
{
    std::erase(detail::LiveUIs(), this);
}

void UI::SetMenus(std::vector<MenuEntry> stack)
{
    static_assert(sizeof(MenuObject) == sizeof(detail::MenuObjectView));
    entries_ = stack;
    names_.clear();
    menus_.clear();
    stack_.clear();
    for (const MenuEntry& entry : stack) {
        if (entry.nullEntry) {
            stack_.push_back(nullptr);
            continue;
        }
        const char* name = nullptr;
        if (entry.name) {
            name = names_.emplace_back(*entry.name).c_str();
        }
        MenuObject& menu = menus_.emplace_back(MenuObject{detail::MenuVirtualTable(), name});
        stack_.push_back(static_cast<void*>(&menu));
    }
    bytes_.write(game_facts::kUIMenuStackSizeOffset, static_cast<std::uint32_t>(stack_.size()));
    bytes_.write(game_facts::kUIMenuStackDataOffset, stack_.empty() ? nullptr : stack_.data());
}

void UI::OpenMenu(const char* name)
{
    auto stack = entries_;
    stack.emplace_back(name);
    SetMenus(std::move(stack));
}

void UI::CloseMenu(const char* name)
{
    auto stack = entries_;
    const auto top = std::find_if(stack.rbegin(), stack.rend(),
                                  [name](const MenuEntry& entry) { return entry.name && *entry.name == name; });
    if (top != stack.rend()) {
        stack.erase(std::next(top).base());
        SetMenus(std::move(stack));
    }
}

bool UI::HasMenuNamed(const char* name) const
{
    return std::any_of(menus_.begin(), menus_.end(), [name](const MenuObject& menu) {
        return menu.name != nullptr && std::string_view(menu.name) == name;
    });
}

// The game changes the flag on whichever thread shows or hides the HUD, while
// other threads read it: one byte, stored and loaded whole.
void UI::SetHUDShown(bool shown) noexcept
{
    std::atomic_ref(ShownFlag()).store(shown ? 1 : 0, std::memory_order_relaxed);
}

bool UI::HUDShown() const noexcept
{
    return std::atomic_ref(const_cast<UI*>(this)->ShownFlag()).load(std::memory_order_relaxed) != 0;
}

std::uint8_t& UI::ShownFlag() noexcept
{
    return *(static_cast<std::uint8_t*>(bytes_.data()) + game_facts::kUIHUDShownOffset);
}

const void* UI::MenuOpenCloseSource() const noexcept
{
    return static_cast<const std::byte*>(bytes_.data()) + game_facts::kUIMenuEventSourceOffset;
}

UI* UI::Find(const RE::UI* object)
{
    for (UI* ui : detail::LiveUIs()) {
        if (ui->get() == object) {
            return ui;
        }
    }
    return nullptr;
}

Actor::Actor()
{
    LiveActors().push_back(this);
    bytes_.write(0, detail::ActorVirtualTable());
}

void Actor::SetWeaponState(std::uint32_t state) noexcept
{
    bytes_.write(game_facts::kActorWeaponStateOffset, state);
}

void Actor::SetInCell(bool inCell) noexcept
{
    bytes_.write(game_facts::kActorParentCellOffset, inCell ? cell_.data() : nullptr);
}

Actor* Actor::Find(const void* object)
{
    for (Actor* actor : LiveActors()) {
        if (actor->get() == object) {
            return actor;
        }
    }
    return nullptr;
}

Reference::Reference()
{
    RemoveBaseObject();
}

void Reference::SetVirtualTable(std::uintptr_t address) noexcept
{
    bytes_.write(0, address);
}

void Reference::SetFlags(std::uint32_t flags) noexcept
{
    bytes_.write(game_facts::kReferenceFlagsOffset, flags);
}

void Reference::SetBaseFormType(std::uint8_t formType) noexcept
{
    base_.write(game_facts::kFormTypeOffset, formType);
    bytes_.write(game_facts::kReferenceBaseObjectOffset, base_.data());
}

void Reference::RemoveBaseObject() noexcept
{
    bytes_.write(game_facts::kReferenceBaseObjectOffset, static_cast<const void*>(nullptr));
}

}  // namespace fake
