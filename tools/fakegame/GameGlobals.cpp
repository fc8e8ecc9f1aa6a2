#include "GameGlobals.h"

#include "FakeGame.h"
#include "IdInstallation.h"

namespace fake::detail {

RE::UI* gameUIPointer = nullptr;
RE::Actor* gamePlayerPointer = nullptr;
RE::AutoAim* gameAutoAimPointer = nullptr;
std::array<std::byte, 16> uiSoundObject{};

IdAddresses GlobalAddresses()
{
    namespace id = game_facts;
    return {
        {id::kUIPointerID, AddressOfObject(gameUIPointer)},
        {id::kPlayerPointerID, AddressOfObject(gamePlayerPointer)},
        {id::kAutoAimPointerID, AddressOfObject(gameAutoAimPointer)},
        {id::kUISoundObjectID, AddressOfObject(uiSoundObject)},
    };
}

}  // namespace fake::detail

using fake::detail::gameAutoAimPointer;
using fake::detail::gamePlayerPointer;
using fake::detail::gameUIPointer;
using fake::detail::uiSoundObject;

void FakeGame::SetGameUIPointer(RE::UI* object) noexcept
{
    gameUIPointer = object;
}

void FakeGame::SetGamePlayerPointer(RE::Actor* object) noexcept
{
    gamePlayerPointer = object;
}

void FakeGame::SetGameAutoAimPointer(RE::AutoAim* object) noexcept
{
    gameAutoAimPointer = object;
}

const void* FakeGame::UISoundObject() noexcept
{
    return uiSoundObject.data();
}
