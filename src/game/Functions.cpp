#include "game/Functions.h"

namespace RE {

void* GetUISoundObject()
{
    return reinterpret_cast<void*>(REL::ID(ID::UISoundObject).address());
}

std::uintptr_t AddressOf(std::uint64_t id)
{
    return REL::ID(id).address();
}

}  // namespace RE
