#include "IdInstallation.h"

#include "FakeGame.h"
#include "REL/ID.h"

#ifdef _WIN32
#include "AddressLibraryWriter.h"
#include "REL/Module.h"

#include <windows.h>
#else
#include "REL/NativeAddresses.h"
#endif

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <span>
#include <string>

namespace {

using fake::detail::IdAddresses;

// Every ID of the game's facts with the address it stands for in this executable.
IdAddresses GameAddresses()
{
    namespace id = game_facts;
    IdAddresses addresses{{id::kPerFrameFunctionID, FakeGame::PerFrameFunction()}};
    for (const IdAddresses& part :
         {fake::detail::GlobalAddresses(), fake::detail::FunctionAddresses(), fake::detail::EventAddresses()}) {
        addresses.insert(addresses.end(), part.begin(), part.end());
    }
    for (const auto& list :
         {std::span<const std::uint64_t>(id::kReferenceTablesA), std::span<const std::uint64_t>(id::kReferenceTablesB),
          std::span<const std::uint64_t>(id::kReferenceTablesC)}) {
        for (const std::uint64_t vtable : list) {
            addresses.emplace_back(vtable, FakeGame::VirtualTableOf(vtable));
        }
    }
    std::sort(addresses.begin(), addresses.end());
    return addresses;
}

#ifdef _WIN32
// The address library loads once per process, from the file present at the
// first resolution, and its decoded table is shared by name with every other
// process of the Wine session that loads the same game version. So the file
// is written once, always with the same content (offsets from this
// executable's base), in a scratch game folder that is the current directory
// only while the library loads.
void InstallAddressLibrary()
{
    static const bool done = [] {
        const auto addresses = GameAddresses();
        const auto previous = std::filesystem::current_path();
        const auto folder =
            std::filesystem::temp_directory_path() / ("lumenveil-fakegame-" + std::to_string(GetCurrentProcessId()));
        FakeGame::WriteAddressLibrary(folder);
        std::filesystem::current_path(folder);
        REL::IDDatabase::get().load_once();
        std::filesystem::current_path(previous);
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);

        for (const auto& [id, address] : addresses) {
            if (REL::ID(id).address() != address) {
                std::fprintf(stderr,
                             "FakeGame: ID %llu resolves elsewhere: the address library was loaded before the fake "
                             "game installed its own, or another process shares a different table\n",
                             static_cast<unsigned long long>(id));
                std::abort();
            }
        }
        return true;
    }();
    (void)done;
}
#endif

}  // namespace

void fake::detail::InstallAddresses()
{
#ifdef _WIN32
    InstallAddressLibrary();
#else
    for (const auto& [id, address] : GameAddresses()) {
        REL::native::set_address(id, address);
    }
#endif
}

#ifdef _WIN32
void FakeGame::WriteAddressLibrary(const std::filesystem::path& gameFolder,
                                   std::optional<std::uint64_t> perFrameFunctionOffset)
{
    const auto& module = REL::Module::get();
    const REL::Version version = module.version();
    addresslib::Writer writer({version[0], version[1], version[2], version[3]});
    for (const auto& [id, address] : GameAddresses()) {
        const bool moved = id == game_facts::kPerFrameFunctionID && perFrameFunctionOffset;
        writer.add(id, moved ? *perFrameFunctionOffset : address - module.base());
    }
    const auto plugins = gameFolder / "Data" / "Zorvik" / "Plugins";
    std::filesystem::create_directories(plugins);
    // Both store builds' names: the Steam runtime may be loaded by a test.
    writer.write(plugins / ("versionlib-" + version.string("-") + ".bin"));
    writer.write(plugins / ("versionlib-" + version.string("-") + "-1.bin"));
}
#endif
