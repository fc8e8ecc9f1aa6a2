// Menus as the HUD model follows them: which keep the HUD, which ask for it
// once as they open or close.

#include "HudModel.h"
#include "HudRules.h"

#include <algorithm>
#include <iterator>
#include <string>

namespace sim {

using hud_rules::Contains;
using hud_rules::kHudMenus;
using hud_rules::kMandatoryMenus;
using hud_rules::kMenusThatAskOnClosing;

bool HudModel::IsGameMenu(const std::string& name) const
{
    if (Contains(kHudMenus, name) || Contains(kMandatoryMenus, name)) {
        return false;
    }
    // With its overrider at 0 the scanner or the ship HUD does not keep the HUD.
    const auto overrider = [&](const char* key) { return !settings_ || settings_->Switch(key).value_or(true); };
    if (name == "MonocleMenu") {
        return overrider("iMenuOverriderHandscannerMenu");
    }
    if (name == "SpaceshipHudMenu") {
        return overrider("iMenuOverriderShipHUDMenu");
    }
    return true;
}

void HudModel::MenuOpened(const std::string& name, double now, bool weaponDrawn)
{
    if (name == "CursorMenu") {
        menus_.push_back(name);
        return;
    }
    Before(now);
    menus_.push_back(name);
    if (name == "EndGameCreditsMenu") {
        graceEnd_ = now + kGraceMs;
        graceSeen_ = Seen::Either;
        graceWhat_ = "the end credits";
    } else {
        Momentary(now, name + " opened");
        if (name == "MonocleMenu") {
            scannerWeapon_ = weaponDrawn;
        }
    }
    After(now, name + " opened");
}

void HudModel::MenuClosed(const std::string& name, double now)
{
    // The game reports a closing even for a menu that was not open; the
    // plugin answers the event all the same.
    const auto found = std::find(menus_.rbegin(), menus_.rend(), name);
    const bool wasOpen = found != menus_.rend();
    if (name == "CursorMenu") {
        if (wasOpen) {
            menus_.erase(std::next(found).base());
        }
        return;
    }
    Before(now);
    const bool gameMenu = wasOpen && IsGameMenu(name);
    if (wasOpen) {
        menus_.erase(std::next(found).base());
    }
    const bool anyGameMenu =
        std::any_of(menus_.begin(), menus_.end(), [this](const std::string& menu) { return IsGameMenu(menu); });
    if (name == "EndGameCreditsMenu") {
        graceEnd_ = now + kGraceMs;
        graceSeen_ = Seen::Either;
        graceWhat_ = "the end credits";
    } else if (Contains(kMenusThatAskOnClosing, name) && Milliseconds("iKeepHUDShownMS") > 0) {
        Momentary(now, name + " closed");
    } else if (name == "MonocleMenu" && scannerWeapon_) {
        Momentary(now, name + " closed");
        scannerWeapon_ = false;
    }
    After(now, name + " closed");
    // While a game menu is open the plugin keeps restarting its delay, so the
    // delay after it may take up to one more round.
    if (gameMenu && !anyGameMenu) {
        busySince_ = now;
    }
}

}  // namespace sim
