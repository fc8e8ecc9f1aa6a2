#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// What the fake game knows about the game it stands for: address-library IDs,
// object offsets and widths, virtual slots, form IDs and flag values. Written
// from the game's documentation and deliberately not taken from the plugin's
// headers, so that a wrong ID, offset or slot in the plugin meets a game that
// disagrees with it instead of one that repeats it.
namespace game_facts {

// ---- Globals: the address of the ID holds a pointer to the object.
inline constexpr std::uint64_t kUIPointerID = 878339;
inline constexpr std::uint64_t kPlayerPointerID = 865059;
inline constexpr std::uint64_t kAutoAimPointerID = 881118;
// A data object handed to the sound function as is.
inline constexpr std::uint64_t kUISoundObjectID = 295589;

// ---- Functions.
inline constexpr std::uint64_t kLookupFormByIDID = 86125;
inline constexpr std::uint64_t kIsStageDoneID = 112585;
inline constexpr std::uint64_t kIsSneakingID = 151014;
inline constexpr std::uint64_t kIsJumpingID = 150985;
inline constexpr std::uint64_t kIsOverencumberedID = 150999;
inline constexpr std::uint64_t kHostileActorsNearID = 171035;
inline constexpr std::uint64_t kActorValuePercentID = 108598;
inline constexpr std::uint64_t kVehicleValueID = 2157099;
inline constexpr std::uint64_t kIsGameMenuPausedID = 172731;
inline constexpr std::uint64_t kIsMenuOpenID = 1870208;
inline constexpr std::uint64_t kMakeGameStringID = 198219;
inline constexpr std::uint64_t kReleaseGameStringID = 36754;
inline constexpr std::uint64_t kSetHUDMenusVisibleID = 170823;
inline constexpr std::uint64_t kPlayUISoundID = 167344;
inline constexpr std::uint64_t kRegisterSinkID = 34452;

// ---- Functions that return an event source, in the order a plugin that
// wants all of them registers with them.
inline constexpr std::uint64_t kSaveLoadSourceID = 129747;
inline constexpr std::uint64_t kSubtitleHiddenSourceID = 133630;
inline constexpr std::uint64_t kSubtitleShownSourceID = 133631;
inline constexpr std::uint64_t kLocationTextSourceID = 138717;
inline constexpr std::uint64_t kTraitDiscoveryTextSourceID = 138718;
inline constexpr std::uint64_t kMissionActiveWidgetSourceID = 138666;
inline constexpr std::uint64_t kLevelUpWidgetSourceID = 138448;
inline constexpr std::array<std::uint64_t, 7> kEventSourceIDs{
    kSaveLoadSourceID,           kSubtitleHiddenSourceID,      kSubtitleShownSourceID, kLocationTextSourceID,
    kTraitDiscoveryTextSourceID, kMissionActiveWidgetSourceID, kLevelUpWidgetSourceID};

// ---- The per-frame function: a 5-byte relative call (0xE8, rel32) at this
// offset reaches the next per-frame function.
inline constexpr std::uint64_t kPerFrameFunctionID = 153799;
inline constexpr std::size_t kPerFrameCallOffset = 0x6F;
inline constexpr std::uint8_t kCallRel32Opcode = 0xE8;

// ---- Virtual tables of the reference classes an auto-aim target is judged by.
inline constexpr std::array<std::uint64_t, 42> kReferenceTablesA{
    423258, 423260, 423262, 423248, 423204, 423206, 423208, 423256, 423212, 423214, 423216, 423202, 423220, 423222,
    423224, 423210, 423236, 423238, 423242, 423244, 423246, 423234, 423250, 423252, 423254, 423240, 423228, 423230,
    423232, 423218, 423278, 423280, 423282, 423226, 423286, 423288, 423290, 423276, 423292, 423294, 423296, 423284};
inline constexpr std::array<std::uint64_t, 26> kReferenceTablesB{
    422634, 422636, 422638, 422640, 422642, 422644, 422646, 422648, 422650, 422652, 422654, 422656, 422658,
    422660, 422680, 422682, 422662, 422664, 422666, 422668, 422670, 422630, 422632, 422684, 422686, 422688};
inline constexpr std::array<std::uint64_t, 11> kReferenceTablesC{388134, 388132, 388142, 388136, 388130, 388140,
                                                                 388164, 388144, 388138, 388166, 388162};

// ---- Form IDs of the game's own forms.
inline constexpr std::uint32_t kMQ305FormID = 0x24EF9C;
inline constexpr std::uint32_t kMQ301FormID = 0x3448;
inline constexpr std::uint32_t kHealthFormID = 0x2D4;
inline constexpr std::uint32_t kOxygenFormID = 0x2D5;
inline constexpr std::uint32_t kBoostPackFormID = 0x24021;

// ---- Actor (the player character is one).
inline constexpr std::size_t kActorParentCellOffset = 0xB0;        // pointer
inline constexpr std::size_t kActorWeaponStateOffset = 0xFC;       // uint32, state in the low three bits
inline constexpr std::size_t kActorIsInCombatSlot = 364;           // bool (actor)
inline constexpr std::size_t kActorIsInCombatTableOffset = 0xB60;  // the same slot, in bytes
static_assert(kActorIsInCombatSlot * sizeof(void*) == kActorIsInCombatTableOffset);

// ---- UI object.
inline constexpr std::size_t kUIMenuEventSourceOffset = 0x10;  // the menu open/close event source, inside the UI
inline constexpr std::size_t kUIMenuStackSizeOffset = 0x3F0;   // uint32
inline constexpr std::size_t kUIMenuStackDataOffset = 0x3F8;   // pointer to that many menu pointers
inline constexpr std::size_t kUIHUDShownOffset = 0x4FA;        // uint8, non-zero while the HUD menus are shown
inline constexpr std::size_t kUIObjectSize = 0x500;
// A menu's name: a C string, from this slot of the menu's virtual table.
inline constexpr std::size_t kMenuNameSlot = 3;

// ---- References and forms.
inline constexpr std::size_t kReferenceFlagsOffset = 0x20;       // uint32
inline constexpr std::size_t kReferenceBaseObjectOffset = 0x98;  // pointer
inline constexpr std::uint32_t kReferenceHarvestedFlag = 0x2000;
inline constexpr std::size_t kFormTypeOffset = 0x2E;  // uint8
inline constexpr std::uint8_t kFormTypeFlora = 46;
inline constexpr std::uint8_t kFormTypeNotActivatable = 44;

// ---- Auto-aim.
inline constexpr std::size_t kAutoAimDataOffset = 0x00;        // pointer in the auto-aim object
inline constexpr std::size_t kAutoAimDataTargetOffset = 0xD0;  // reference pointer in the data

// ---- Event sinks: the game calls this slot of a sink's virtual table with
// (sink, event address, source) and reads a uint32, 0 to go on delivering.
inline constexpr std::size_t kSinkProcessEventSlot = 1;
inline constexpr std::uint32_t kSinkContinue = 0;
// A menu open/close event: a game string handle, then the opening byte.
inline constexpr std::size_t kMenuEventNameOffset = 0;
inline constexpr std::size_t kMenuEventOpeningOffset = 8;
inline constexpr std::size_t kMenuEventSize = 0x10;

// ---- Game strings: a handle is one pointer to a string-pool entry. While the
// entry's flag byte has kEntryRefersOn set, the entry stands for the one its
// next pointer names; the characters are those of the last entry.
inline constexpr std::size_t kEntryNextOffset = 0x08;
inline constexpr std::size_t kEntryFlagsOffset = 0x14;
inline constexpr std::uint8_t kEntryRefersOn = 0x02;
inline constexpr std::size_t kEntryCharactersOffset = 0x18;

}  // namespace game_facts
