#pragma once

#include <cstdint>

#ifndef _WIN32
// The native build has no game executable and no address-library file: tests
// and benchmarks say where each ID's function or datum lies in their own
// process, and REL::ID::address gives that address.
namespace REL::native {

void set_address(std::uint64_t id, std::uintptr_t address);
void clear_addresses();

}  // namespace REL::native
#endif
