#include "FakeGame.h"

#include <algorithm>
#include <string_view>

// What the plugin asked of the game, kept for the tests to read back.

void FakeGame::ClearRecords()
{
    calls = {};
    registeredSinks.clear();
    hudVisibleCalls.clear();
    sounds.clear();
    soundVolumes.clear();
    formLookups.clear();
    menuQuestionCount_ = 0;
}

std::vector<std::string> FakeGame::MenusAskedAbout() const
{
    std::vector<std::string> names;
    for (std::size_t i = 0; i < std::min(menuQuestionCount_, menuQuestions_.size()); ++i) {
        names.emplace_back(menuQuestions_[i].data());
    }
    return names;
}

void FakeGame::RecordMenuQuestion(const char* name)
{
    if (menuQuestionCount_ < menuQuestions_.size()) {
        auto& slot = menuQuestions_[menuQuestionCount_];
        slot.fill('\0');
        std::string_view(name).copy(slot.data(), slot.size() - 1);
    }
    ++menuQuestionCount_;
}
