// The address-library reader on arbitrary bytes: a file may end anywhere, claim
// any count, use any mode; the outcome is a table, a stream failure or a fatal
// report, never a crash, a hang or a read past the end. A decoded table sorts
// into order without losing an entry.

#include "FuzzSupport.h"
#include "REL/ID.h"
#include "Zorvik/FatalError.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    SilenceLogging();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto* bytes = reinterpret_cast<const std::byte*>(data);
    REL::database::istream_t input(std::vector<std::byte>(bytes, bytes + size));
    try {
        REL::database::header_t header;
        header.read(input);
        Check(header.name.back() == '\0', "the name stays terminated");
        // As the loader does: a count the rest of the file cannot hold is a
        // truncated file, before any table is made for it.
        input.require(header.addressCount);
        std::vector<REL::database::mapping_t> table(header.addressCount);
        REL::database::unpack(input, header, table);

        std::vector<std::uint64_t> ids;
        for (const auto& entry : table) {
            ids.push_back(entry.id);
        }
        std::sort(ids.begin(), ids.end());
        REL::database::sort_table(table);
        for (std::size_t i = 0; i < table.size(); ++i) {
            Check(table[i].id == ids[i], "sorting keeps every entry, in order");
        }
        for (const auto& entry : table) {
            const auto* found = REL::database::find(table, entry.id);
            Check(found != nullptr && found->id == entry.id, "every stored ID is found");
        }
    } catch (const std::ios_base::failure&) {
        // a truncated file: the loader's stream-failure report
    } catch (const Zorvik::detail::fatal_error&) {
        // an unsupported format, mode or pointer size: the loader's fatal report
    }
    return 0;
}
