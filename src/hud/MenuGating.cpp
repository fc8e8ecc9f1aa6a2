#include "hud/MenuGating.h"

#include "PluginLog.h"
#include "game/Functions.h"
#include "hud/CachedGameObjects.h"
#include "hud/HUDState.h"

#include <algorithm>
#include <array>

namespace {

constexpr Clock::Nanoseconds kGracePeriod = 10'000'000'000;

// Menus that take the whole screen and must play out untouched.
constexpr std::array<std::string_view, 2> kMandatoryMenus{"PlayBinkMenu", "EndGameCreditsMenu"};
// Menus that are part of the HUD itself, not game menus.
constexpr std::array<std::string_view, 3> kHUDMenus{"HUDMenu", "HUDMessagesMenu", "CursorMenu"};

template <std::size_t Count>
bool OneOf(std::string_view name, const std::array<std::string_view, Count>& names)
{
    return std::ranges::find(names, name) != names.end();
}

// The names of the menus on the UI's stack, bottom first, without null
// entries and empty names; the views point into the game's own strings.
template <class Visit>
bool FirstMenuWhere(RE::UI* ui, Visit&& visit)
{
    if (ui == nullptr) {
        return false;
    }
    const std::uint32_t count = RE::MenuStackSize(ui);
    RE::IMenu* const* stack = RE::MenuStack(ui);
    for (std::uint32_t i = 0; i < count; ++i) {
        RE::IMenu* menu = stack[i];
        const char* name = menu != nullptr ? RE::MenuName(menu) : nullptr;
        if (name != nullptr && *name != '\0' && visit(std::string_view(name))) {
            return true;
        }
    }
    return false;
}

}  // namespace

bool UnityInProcess(Clock::Nanoseconds now)
{
    if (now - HUDState.UnityGraceStartTime < kGracePeriod) {
        return true;
    }
    if (const std::string_view missing = FirstMissingGameObject(); !missing.empty()) {
        LOG_INFO("result = [Exiting] | {} is nullptr", missing);
        return true;
    }
    std::string_view mandatory;
    if (FirstMenuWhere(UISingleton, [&](std::string_view name) {
            mandatory = name;
            return OneOf(name, kMandatoryMenus);
        })) {
        LOG_INFO("result = [Exiting] | MenuStack (mandatory menu open: {}) ", mandatory);
        return true;
    }
    return false;
}

bool FindOpenGameMenu(std::string_view& menuName)
{
    if (RE::IsGameMenuPaused() != 0) {
        menuName = "{IsGameMenuPaused}";
        return true;
    }
    const SettingsRecord& settings = *Settings;
    return FirstMenuWhere(UISingleton, [&](std::string_view name) {
        if (OneOf(name, kHUDMenus) || (name == "MonocleMenu" && !settings.iMenuOverriderHandscannerMenu) ||
            (name == "SpaceshipHudMenu" && !settings.iMenuOverriderShipHUDMenu)) {
            return false;
        }
        menuName = name;
        return true;
    });
}

void EnableMenusIfCan(bool enable, bool force)
{
    if (std::string_view menuName; !force && FindOpenGameMenu(menuName)) {
        LOG_INFO("result = [FORCEENABLE] | MenuStack (mandatory menu open: {}) ", menuName);
        enable = true;
    }
    RE::UI* ui = RE::GetUISingleton();
    const bool shown = ui != nullptr && RE::HUDMenusShown(ui);
    if (enable && !shown) {
        LOG_INFO("result = [ENABLE]");
        RE::SetHUDMenusVisible(nullptr, nullptr, nullptr, true);
    } else if (!enable && shown) {
        LOG_INFO("result = [DISABLE]");
        RE::SetHUDMenusVisible(nullptr, nullptr, nullptr, false);
    }
}
