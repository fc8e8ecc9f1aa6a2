#include "Zorvik/API.h"
#include "support/ExpectFatal.h"
#include "support/LogCapture.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace {

// A loader that serves one record for every interface id, with the version a
// test gives it, and remembers the ids it was asked for.
struct FakeLoader {
    static inline std::uint32_t asked = 0;
    static inline std::array<std::uint32_t, 8> record{};

    static void* QueryInterface(std::uint32_t id)
    {
        asked = id;
        return record.data();
    }
    static inline const Zorvik::LoadInterface load{1, 0, nullptr, &QueryInterface, nullptr};
};

struct InterfaceCase {
    const char* name;
    std::uint32_t id;
    std::uint32_t knownVersion;  // the newest the plugin knows
    void* (*query)(std::uint32_t id);
};

template <class Interface>
void* Query(std::uint32_t id)
{
    return const_cast<Interface*>(Zorvik::detail::QueryInterface<Interface>(&FakeLoader::load, id));
}

TEST(LoaderInterfaces, WarnOnlyAboutAVersionNewerThanKnownAndAreUsedAllTheSame)
{
    for (const auto& [name, id, known, query] : {InterfaceCase{"messaging", 1, 1, &Query<Zorvik::MessagingInterface>},
                                                 InterfaceCase{"trampoline", 2, 1, &Query<Zorvik::TrampolineInterface>},
                                                 InterfaceCase{"menu", 3, 2, &Query<Zorvik::MenuInterface>},
                                                 InterfaceCase{"task", 4, 1, &Query<Zorvik::TaskInterface>}}) {
        for (const std::uint32_t served : {known, known + 1}) {
            SCOPED_TRACE(std::string(name) + " version " + std::to_string(served));
            const LogCapture log;
            FakeLoader::record[0] = served;
            EXPECT_EQ(query(id), FakeLoader::record.data());
            EXPECT_EQ(FakeLoader::asked, id);
            const std::vector<std::string> warning{"[warning] interface definition is out of date"};
            EXPECT_EQ(log.lines(), served == known ? std::vector<std::string>{} : warning);
        }
    }
}

TEST(LoaderApi, RefusesANullLoadInterface)
{
    EXPECT_FATAL(Zorvik::Init(nullptr), "interface is null");
}

}  // namespace
