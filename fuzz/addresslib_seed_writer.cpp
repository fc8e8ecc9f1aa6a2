// Writes seed address-library files for the fuzzer: small valid libraries in
// every mode, scaled and not, out of order, and a few broken ones.

#include "AddressLibraryWriter.h"

#include <filesystem>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 2) {
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    std::filesystem::create_directories(folder);

    addresslib::Writer everyMode({1, 14, 70, 0}, 8);
    std::uint64_t id = 1000;
    for (unsigned mode = 1; mode < 8; ++mode) {
        id += mode;
        everyMode.add(id, id * 8, {0, mode == 1 ? 0u : 6u, false});
        everyMode.add(id + 1, (id * 8) + 8, {1, 1, true});
    }
    everyMode.write(folder / "every_mode.bin");

    addresslib::Writer outOfOrder({1, 2, 3, 4}, 8);
    for (const std::uint64_t value : {50U, 10U, 40U, 20U, 30U}) {
        outOfOrder.add(value, value * 16);
    }
    outOfOrder.write(folder / "out_of_order.bin");

    addresslib::Writer wrapping({1, 2, 3, 4}, 4);
    wrapping.add(~0ULL, ~0ULL - 3, {3, 5, false}).add(0, 0, {1, 6, false});
    wrapping.write(folder / "wrapping.bin");

    addresslib::Writer longName({1, 2, 3, 4}, 8);
    longName.name = std::string(40, 'x');
    longName.add(1, 8);
    longName.write(folder / "long_name.bin");

    addresslib::Writer invalid({1, 2, 3, 4}, 8);
    invalid.add(1, 8).add_invalid_type(0x0F);
    invalid.write(folder / "invalid_type.bin");

    addresslib::Writer overclaimed({1, 2, 3, 4}, 8);
    overclaimed.add(1, 8);
    overclaimed.addressCount = 1000;
    overclaimed.write(folder / "overclaimed.bin");
    return 0;
}
