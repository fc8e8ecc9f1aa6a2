#include "Zorvik/API.h"
#include "support/ChildRecord.h"
#include "support/ExpectFatal.h"
#include "support/LogCapture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <string>

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// A loader that serves one record for every interface id, with the version a
// test gives it, and remembers what it was asked.
struct FakeLoader {
    static inline std::string asked;
    static inline std::array<std::uint32_t, 8> record{};
    static inline bool servesNothing = false;

    static void* QueryInterface(std::uint32_t id)
    {
        asked += " QueryInterface " + std::to_string(id);
        return servesNothing ? nullptr : record.data();
    }
    static Zorvik::PluginHandle GetHandle()
    {
        asked += " GetHandle";
        return 7;
    }
    static inline const Zorvik::LoadInterface load{1, 0, nullptr, &QueryInterface, &GetHandle};
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
    for (const auto& [name, id, known, query] :
         {InterfaceCase{"messaging", 1, 1, &Query<Zorvik::MessagingInterface>},
          InterfaceCase{"trampoline", 2, 1, &Query<Zorvik::TrampolineInterface>},
          InterfaceCase{"menu", 3, 2, &Query<Zorvik::MenuInterface>},
          InterfaceCase{"task", 4, 1, &Query<Zorvik::TaskInterface>}}) {
        for (const std::uint32_t served : {known, known + 1}) {
            SCOPED_TRACE(std::string(name) + " version " + std::to_string(served));
            const LogCapture log;
            FakeLoader::asked.clear();
            FakeLoader::record[0] = served;
            EXPECT_EQ(query(id), FakeLoader::record.data());
            EXPECT_EQ(FakeLoader::asked, " QueryInterface " + std::to_string(id));
            if (served == known) {
                EXPECT_THAT(log.lines(), IsEmpty());
            } else {
                EXPECT_THAT(log.lines(), ElementsAre("[warning] interface definition is out of date"));
            }
        }
    }
}

// The loader record is process-wide and set once: each case runs in a child
// process of its own and leaves its record.
class LoaderApi : public ::testing::Test {
protected:
    void SetUp() override
    {
        GTEST_FLAG_SET(death_test_style, "threadsafe");
        ChildRecord::Clear();
        FakeLoader::record[0] = 1;
    }

    static void RecordWhatIsKept()
    {
        ChildRecord::Add("asked" + FakeLoader::asked);
        ChildRecord::Add("handle " + std::to_string(Zorvik::GetPluginHandle()));
        const void* served = FakeLoader::servesNothing ? nullptr : FakeLoader::record.data();
        ChildRecord::Add(Zorvik::GetMessagingInterface() == served && Zorvik::GetTrampolineInterface() == served &&
                                 Zorvik::GetMenuInterface() == served && Zorvik::GetTaskInterface() == served
                             ? "every interface as served"
                             : "an interface not as served");
    }
};

TEST_F(LoaderApi, KeepsWhatTheFirstInitGotAndASecondAsksNothing)
{
    EXPECT_EXIT(
        {
            Zorvik::Init(&FakeLoader::load, false);
            RecordWhatIsKept();
            FakeLoader::asked.clear();
            Zorvik::Init(&FakeLoader::load, false);
            RecordWhatIsKept();
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "");
    EXPECT_THAT(ChildRecord::Lines(),
                ElementsAre("asked GetHandle QueryInterface 1 QueryInterface 2 QueryInterface 3 QueryInterface 4",
                            "handle 7", "every interface as served", "asked", "handle 7", "every interface as served"));
}

TEST_F(LoaderApi, KeepsTheHandleAndNoInterfacesFromALoaderWithout)
{
    EXPECT_EXIT(
        {
            FakeLoader::servesNothing = true;
            Zorvik::Init(&FakeLoader::load, false);
            RecordWhatIsKept();
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "");
    EXPECT_THAT(ChildRecord::Lines(),
                ElementsAre("asked GetHandle QueryInterface 1 QueryInterface 2 QueryInterface 3 QueryInterface 4",
                            "handle 7", "every interface as served"));
}

TEST_F(LoaderApi, RefusesANullLoadInterface)
{
    EXPECT_FATAL(Zorvik::Init(nullptr), "interface is null");
}

}  // namespace
