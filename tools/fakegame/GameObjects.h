#pragma once

#include "GameFacts.h"
#include "ObjectBytes.h"

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

// The game's types as the plugin names them; to the game they are only
// addresses of its objects.
namespace RE {
struct TESForm;
struct TESQuest;
struct ActorValueInfo;
struct Actor;
struct TESObjectREFR;
struct UI;
struct AutoAim;
}  // namespace RE

namespace fake {

// The game's form IDs of the objects the plugin looks up.
inline constexpr std::uint32_t kMQ305FormID = game_facts::kMQ305FormID;
inline constexpr std::uint32_t kMQ301FormID = game_facts::kMQ301FormID;
inline constexpr std::uint32_t kHealthFormID = game_facts::kHealthFormID;
inline constexpr std::uint32_t kOxygenFormID = game_facts::kOxygenFormID;
inline constexpr std::uint32_t kBoostPackFormID = game_facts::kBoostPackFormID;

// One entry of the UI's menu stack: a menu by name ("HUDMenu" converts), a
// null entry, or a menu whose name function gives null.
struct MenuEntry {
    MenuEntry(const char* menuName) : name(menuName) {}
    [[nodiscard]] static MenuEntry Null();
    [[nodiscard]] static MenuEntry Nameless();

    std::optional<std::string> name;
    bool nullEntry = false;
};

// The game's UI object: the menu stack (count and array of menu pointers) and
// the byte that is non-zero while the HUD menus are shown.
class UI {
public:
    UI();
    ~UI();
    UI(const UI&) = delete;
    UI& operator=(const UI&) = delete;

    [[nodiscard]] RE::UI* get() noexcept { return static_cast<RE::UI*>(bytes_.data()); }

    // Bottom of the stack first.
    void SetMenus(std::vector<MenuEntry> stack);
    [[nodiscard]] bool HasMenuNamed(const char* name) const;
    // A menu opens on top of the stack; closing removes its topmost entry.
    void OpenMenu(const char* name);
    void CloseMenu(const char* name);

    void SetHUDShown(bool shown) noexcept;
    [[nodiscard]] bool HUDShown() const noexcept;
    // The menu open/close event source, inside the UI object.
    [[nodiscard]] const void* MenuOpenCloseSource() const noexcept;

    // The UI object behind a game pointer, or null when it is none of ours.
    [[nodiscard]] static UI* Find(const RE::UI* object);

private:
    // A game menu: its virtual table pointer first, whose name slot gives `name`.
    struct MenuObject {
        const std::uintptr_t* vtable;
        const char* name;
    };

    std::uint8_t& ShownFlag() noexcept;

    ObjectBytes<game_facts::kUIObjectSize> bytes_;
    std::vector<MenuEntry> entries_;
    std::deque<std::string> names_;
    std::deque<MenuObject> menus_;
    std::vector<void*> stack_;
};

// An actor: weapon state, parent cell and the virtual table whose in-combat
// slot answers from `inCombat`.
class Actor {
public:
    Actor();
    Actor(const Actor&) = delete;
    Actor& operator=(const Actor&) = delete;

    [[nodiscard]] RE::Actor* get() noexcept { return static_cast<RE::Actor*>(bytes_.data()); }
    void SetWeaponState(std::uint32_t state) noexcept;
    void SetInCell(bool inCell) noexcept;

    bool inCombat = false;

    [[nodiscard]] static Actor* Find(const void* object);

private:
    ObjectBytes<0x100> bytes_;
    ObjectBytes<0x10> cell_;
};

// A reference: virtual-table address in its first word, flags, base object
// with its form type.
class Reference {
public:
    Reference();
    Reference(const Reference&) = delete;
    Reference& operator=(const Reference&) = delete;

    [[nodiscard]] RE::TESObjectREFR* get() noexcept { return static_cast<RE::TESObjectREFR*>(bytes_.data()); }
    void SetVirtualTable(std::uintptr_t address) noexcept;
    void SetFlags(std::uint32_t flags) noexcept;
    // A base object of that form type; RemoveBaseObject leaves the pointer null.
    void SetBaseFormType(std::uint8_t formType) noexcept;
    void RemoveBaseObject() noexcept;

private:
    ObjectBytes<0xA0> bytes_;
    ObjectBytes<0x30> base_;
};

// A form of no particular layout: quests and actor-value forms.
class Form {
public:
    Form() = default;
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    template <class T>
    [[nodiscard]] T* as() noexcept
    {
        return static_cast<T*>(bytes_.data());
    }

private:
    ObjectBytes<0x40> bytes_;
};

namespace detail {

// The UIs alive now: the menu open/close source inside each is one of the
// game's event sources.
std::vector<UI*>& LiveUIs();

}  // namespace detail

}  // namespace fake
