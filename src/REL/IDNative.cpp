// REL::ID in the native build: addresses registered by the code that plays the
// game (tests, benchmarks); an unknown ID is the same fatal report as in the
// game.

#include "REL/ID.h"
#include "REL/NativeAddresses.h"
#include "Zorvik/Logger.h"

#include <unordered_map>

namespace REL {

namespace {

std::unordered_map<std::uint64_t, std::uintptr_t>& addresses()
{
    static std::unordered_map<std::uint64_t, std::uintptr_t> registered;
    return registered;
}

}  // namespace

namespace native {

void set_address(std::uint64_t id, std::uintptr_t address)
{
    addresses()[id] = address;
}
void clear_addresses()
{
    addresses().clear();
}

}  // namespace native

std::uintptr_t ID::address() const
{
    const auto found = addresses().find(id_);
    if (found == addresses().end()) {
        Zorvik::report_fatal(database::missing_id_message(id_));
    }
    return found->second;
}

std::uint64_t ID::offset() const
{
    return address();
}

}  // namespace REL
