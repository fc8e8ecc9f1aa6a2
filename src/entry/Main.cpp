#include "PluginLog.h"
#include "REL/ID.h"
#include "REL/Module.h"
#include "Zorvik/API.h"
#include "Zorvik/BranchTarget.h"
#include "Zorvik/Logger.h"
#include "Zorvik/Trampoline.h"
#include "entry/HookedCall.h"
#include "entry/Plugin.h"
#include "events/Events.h"
#include "game/IDs.h"
#include "hud/CachedGameObjects.h"
#include "hud/HUDState.h"

#include <windows.h>

#include <string>

namespace {

constexpr std::size_t kTrampolineSize = 256;
constexpr std::uint8_t kCallOpcode = 0xE8;
constexpr std::uint64_t kCallSize = 5;  // opcode and rel32
constexpr const char* kLoaderSender = "Zorvik";

// Set once the data-loaded message has been acted on: a repeat would register
// every sink a second time and make each event count twice.
bool installed = false;

void ShowErrorMessageBox(std::string text)
{
    const std::string caption = std::string(kPluginDisplayName) + " v" + std::string(kPluginVersionString);
    MessageBoxA(nullptr, text.c_str(), caption.c_str(), 0);
}

void ReserveTrampolineSpace()
{
    auto& trampoline = Zorvik::GetTrampoline();
    if (const auto* loader = Zorvik::GetTrampolineInterface(); loader != nullptr) {
        if (void* space = loader->AllocateBranchSpace(Zorvik::GetPluginHandle(), kTrampolineSize)) {
            trampoline.assign_memory(space, kTrampolineSize, nullptr);
            return;
        }
    }
    trampoline.create(kTrampolineSize);
}

// A wrong or foreign address library, or another plugin that turned the call
// into a jump, leaves something else here: patching it would break code we do
// not understand, so the game ends before anything is read or written. An
// offset from a damaged library may point anywhere: only the game's own code
// is read.
void RequireCallAt(std::uintptr_t callSite)
{
    const auto& code = REL::Module::get().segment(REL::SegmentKind::TextExecutable);
    if (callSite < code.address || callSite > code.end() || code.end() - callSite < kCallSize) {
        Zorvik::report_fatal(
            fmt::format("unexpected address of the hooked call: ID {} + 0x{:X} lies outside the game's code",
                        RE::ID::MainLoopFunction, RE::ID::kMainLoopCallOffset));
    }
    const auto found = *reinterpret_cast<const std::uint8_t*>(callSite);
    if (found != kCallOpcode) {
        Zorvik::report_fatal(
            fmt::format("unexpected code at the hooked call: ID {} + 0x{:X} holds 0x{:02X}, not a call (0x{:02X})",
                        RE::ID::MainLoopFunction, RE::ID::kMainLoopCallOffset, found, kCallOpcode));
    }
}

// The game's per-frame call now reaches the thunk; the thunk continues into
// the function the call reached before, read from the call as found. False
// when the call could not be written and the game goes on as without us.
[[nodiscard]] bool HookPerFrameCall()
{
    const std::uintptr_t callSite = REL::ID(RE::ID::MainLoopFunction).address() + RE::ID::kMainLoopCallOffset;
    RequireCallAt(callSite);
    HookedCallTarget = reinterpret_cast<void*>(Zorvik::branch_target(callSite));
    return Zorvik::GetTrampoline().write_5branch(callSite, reinterpret_cast<std::uintptr_t>(&HookedCallThunk),
                                                 kCallOpcode);
}

void HandleOnPostDataLoad(Zorvik::MessagingInterface::Message* message) noexcept
{
    if (message == nullptr || message->type != Zorvik::MessagingInterface::kPostDataLoad) {
        return;
    }
    if (installed) {
        LOG_INFO("installation already complete; the repeated message changes nothing");
        return;
    }
    installed = true;
    HUDState.UnityGraceStartTime = Clock::Now();
    HUDState.HUDQueuedToDisableTime = Clock::Now();
    HUDState.LongHUDMessageTime = Clock::Now();
    HUDState.LastUpdateTime = Clock::Now();
    Events::RegisterSinks();
    LoadStaticVariables();
    LOG_INFO("installation complete");
}

}  // namespace

extern "C" __declspec(dllexport) bool ZorvikPlugin_Load(const Zorvik::LoadInterface* loadInterface)
{
    Zorvik::Init(loadInterface);
    LOG_INFO("{} v{}", kPluginDisplayName, kPluginVersionString);

    if (GetModuleHandleA(nullptr) == nullptr) {
        constexpr const char* kNoGame = "Corvane.exe handle couldn't be acquired, shutting down";
        ShowErrorMessageBox(kNoGame);
        LOG_ERROR("{}", kNoGame);
        return false;
    }

    ReserveTrampolineSpace();
    if (!HookPerFrameCall()) {
        // Written whatever bLogging says: otherwise "installation complete"
        // would be the only word of a plugin that never runs.
        Zorvik::log::error(
            "the HUD hook was not installed: the game's call at ID {} + 0x{:X} could not be made "
            "writable; the plugin acts only when the game's events reach it (a menu opening shows the HUD, a "
            "subtitle ending or a menu closing may hide it), never on its own each frame",
            RE::ID::MainLoopFunction, RE::ID::kMainLoopCallOffset);
    }

    const auto* messaging = Zorvik::GetMessagingInterface();
    if (messaging == nullptr ||
        !messaging->RegisterListener(Zorvik::GetPluginHandle(), kLoaderSender, &HandleOnPostDataLoad)) {
        Zorvik::log::error("Failed to register messaging listener for {}", kLoaderSender);
    }
    return true;
}
