#pragma once

#include <array>
#include <cstdint>

// Every address-library ID the plugin uses, in one place. Nothing else names
// an address or an offset inside the game executable.
namespace RE::ID {

// Globals holding pointers to game objects.
inline constexpr std::uint64_t UISingleton = 878339;
inline constexpr std::uint64_t PlayerCharacter = 865059;
inline constexpr std::uint64_t AutoAimSingleton = 881118;
inline constexpr std::uint64_t UISoundObject = 295589;

// Game functions.
inline constexpr std::uint64_t LookupFormByID = 86125;
inline constexpr std::uint64_t IsStageDone = 112585;
inline constexpr std::uint64_t IsSneaking = 151014;
inline constexpr std::uint64_t IsJumping = 150985;
inline constexpr std::uint64_t IsOverencumbered = 150999;
inline constexpr std::uint64_t HostileActorsNear = 171035;
inline constexpr std::uint64_t GetActorValuePercent = 108598;
inline constexpr std::uint64_t GetPlayerVehicleValue = 2157099;
inline constexpr std::uint64_t IsGameMenuPaused = 172731;
inline constexpr std::uint64_t IsMenuOpen = 1870208;
inline constexpr std::uint64_t MakeGameString = 198219;
inline constexpr std::uint64_t ReleaseGameString = 36754;
inline constexpr std::uint64_t SetHUDMenusVisible = 170823;
inline constexpr std::uint64_t PlayUISound = 167344;
inline constexpr std::uint64_t RegisterSink = 34452;

// Event sources (functions returning the source).
inline constexpr std::uint64_t SaveLoadEventSource = 129747;
inline constexpr std::uint64_t SubtitleHiddenEventSource = 133630;
inline constexpr std::uint64_t SubtitleShownEventSource = 133631;
inline constexpr std::uint64_t LocationTextEventSource = 138717;
inline constexpr std::uint64_t TraitDiscoveryTextEventSource = 138718;
inline constexpr std::uint64_t MissionActiveWidgetEventSource = 138666;
inline constexpr std::uint64_t LevelUpWidgetEventSource = 138448;

// The per-frame game function whose call at kMainLoopCallOffset is hooked.
inline constexpr std::uint64_t MainLoopFunction = 153799;
inline constexpr std::uint64_t kMainLoopCallOffset = 0x6F;

// Virtual tables of reference classes, for the auto-aim target test.
inline constexpr std::array<std::uint64_t, 42> kTargetVTablesA{
    423258, 423260, 423262, 423248, 423204, 423206, 423208, 423256, 423212, 423214, 423216, 423202, 423220, 423222,
    423224, 423210, 423236, 423238, 423242, 423244, 423246, 423234, 423250, 423252, 423254, 423240, 423228, 423230,
    423232, 423218, 423278, 423280, 423282, 423226, 423286, 423288, 423290, 423276, 423292, 423294, 423296, 423284};
inline constexpr std::array<std::uint64_t, 26> kTargetVTablesB{
    422634, 422636, 422638, 422640, 422642, 422644, 422646, 422648, 422650, 422652, 422654, 422656, 422658,
    422660, 422680, 422682, 422662, 422664, 422666, 422668, 422670, 422630, 422632, 422684, 422686, 422688};
inline constexpr std::array<std::uint64_t, 11> kTargetVTablesC{388134, 388132, 388142, 388136, 388130, 388140,
                                                               388164, 388144, 388138, 388166, 388162};

}  // namespace RE::ID

// Form IDs of the game's own forms that the plugin looks up.
namespace RE::FormID {

inline constexpr std::uint32_t MQ305 = 0x24EF9C;
inline constexpr std::uint32_t MQ301 = 0x3448;
inline constexpr std::uint32_t Health = 0x2D4;
inline constexpr std::uint32_t Oxygen = 0x2D5;
inline constexpr std::uint32_t BoostPack = 0x24021;

}  // namespace RE::FormID
