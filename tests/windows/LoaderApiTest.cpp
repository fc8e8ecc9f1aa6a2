#include "Zorvik/API.h"
#include "support/ExpectFatal.h"
#include "support/LogCapture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

// A loader that records what the plugin asks of it and serves the interfaces
// a test gives it.
struct FakeLoader {
    static inline std::vector<std::string> calls;
    static inline Zorvik::MessagingInterface messaging{1, 0, nullptr};
    static inline Zorvik::TrampolineInterface trampoline{1, 0, nullptr};
    static inline Zorvik::MenuInterface menu{2};
    static inline Zorvik::TaskInterface task{1};
    static inline bool servesNothing = false;

    static void* QueryInterface(std::uint32_t id)
    {
        calls.push_back("QueryInterface " + std::to_string(id));
        if (servesNothing) {
            return nullptr;
        }
        switch (id) {
            case 1:
                return &messaging;
            case 2:
                return &trampoline;
            case 3:
                return &menu;
            case 4:
                return &task;
            default:
                return nullptr;
        }
    }

    static Zorvik::PluginHandle GetHandle()
    {
        calls.push_back("GetHandle");
        return 7;
    }

    static inline const Zorvik::LoadInterface load{1, 0, nullptr, &QueryInterface, &GetHandle};
};

// The loader record is process-wide and set once: each case runs in a child
// process of its own and reports by its exit status.
[[noreturn]] void ExitWith(bool holds)
{
    std::exit(holds ? 0 : 1);
}

bool KeepsEverythingTheLoaderServes()
{
    return Zorvik::GetPluginHandle() == 7 && Zorvik::GetMessagingInterface() == &FakeLoader::messaging &&
           Zorvik::GetTrampolineInterface() == &FakeLoader::trampoline &&
           Zorvik::GetMenuInterface() == &FakeLoader::menu && Zorvik::GetTaskInterface() == &FakeLoader::task;
}

void InitInOrder()
{
    Zorvik::Init(&FakeLoader::load, false);
    const std::vector<std::string> expected{"GetHandle", "QueryInterface 1", "QueryInterface 2", "QueryInterface 3",
                                            "QueryInterface 4"};
    ExitWith(FakeLoader::calls == expected && KeepsEverythingTheLoaderServes());
}

void InitTwice()
{
    Zorvik::Init(&FakeLoader::load, false);
    FakeLoader::calls.clear();
    FakeLoader::servesNothing = true;
    Zorvik::Init(&FakeLoader::load, false);
    ExitWith(FakeLoader::calls.empty() && KeepsEverythingTheLoaderServes());
}

void InitWithoutInterfaces()
{
    FakeLoader::servesNothing = true;
    Zorvik::Init(&FakeLoader::load, false);
    ExitWith(Zorvik::GetPluginHandle() == 7 && Zorvik::GetMessagingInterface() == nullptr &&
             Zorvik::GetTrampolineInterface() == nullptr && Zorvik::GetMenuInterface() == nullptr &&
             Zorvik::GetTaskInterface() == nullptr);
}

void InitWithNewerMessaging()
{
    const LogCapture log;
    FakeLoader::messaging.version = 2;
    FakeLoader::menu.version = 2;  // the menu interface is known up to version 2
    Zorvik::Init(&FakeLoader::load, false);
    const std::vector<std::string> oneWarning{"[warning] interface definition is out of date"};
    ExitWith(log.lines() == oneWarning && KeepsEverythingTheLoaderServes());
}

class LoaderApi : public ::testing::Test {
protected:
    void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
};

TEST_F(LoaderApi, AsksForTheHandleThenTheFourInterfacesInOrderAndKeepsThem)
{
    EXPECT_EXIT(InitInOrder(), ::testing::ExitedWithCode(0), "");
}

TEST_F(LoaderApi, ASecondInitChangesNothing)
{
    EXPECT_EXIT(InitTwice(), ::testing::ExitedWithCode(0), "");
}

TEST_F(LoaderApi, KeepsTheHandleAndNoInterfacesFromALoaderWithout)
{
    EXPECT_EXIT(InitWithoutInterfaces(), ::testing::ExitedWithCode(0), "");
}

TEST_F(LoaderApi, WarnsOnceAboutANewerInterfaceAndUsesItAllTheSame)
{
    EXPECT_EXIT(InitWithNewerMessaging(), ::testing::ExitedWithCode(0), "");
}

TEST_F(LoaderApi, RefusesANullLoadInterface)
{
    EXPECT_FATAL(Zorvik::Init(nullptr), "interface is null");
}

}  // namespace
