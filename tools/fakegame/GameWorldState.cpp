#include "FakeGame.h"

// What the game's functions answer from: forms by form ID, quest stages, the
// player's actor values and the auto-aim object.

void FakeGame::SetFormMissing(std::uint32_t formID, bool missing)
{
    if (missing) {
        missingForms_.insert(formID);
    } else {
        missingForms_.erase(formID);
    }
}

RE::TESForm* FakeGame::FormByID(std::uint32_t formID)
{
    if (missingForms_.contains(formID)) {
        return nullptr;
    }
    switch (formID) {
        case fake::kMQ305FormID:
            return mq305_.as<RE::TESForm>();
        case fake::kMQ301FormID:
            return mq301_.as<RE::TESForm>();
        case fake::kHealthFormID:
            return health_.as<RE::TESForm>();
        case fake::kOxygenFormID:
            return oxygen_.as<RE::TESForm>();
        case fake::kBoostPackFormID:
            return boostPack_.as<RE::TESForm>();
        default:
            return nullptr;
    }
}

void FakeGame::SetStageDone(RE::TESQuest* quest, std::uint16_t stage, bool done)
{
    if (done) {
        doneStages_.emplace(quest, stage);
    } else {
        doneStages_.erase({quest, stage});
    }
}

bool FakeGame::StageDone(const RE::TESQuest* quest, std::uint16_t stage) const
{
    return doneStages_.contains({quest, stage});
}

void FakeGame::SetActorValuePercent(const RE::ActorValueInfo* actorValue, float percent)
{
    percents_[actorValue] = percent;
}

float FakeGame::ActorValuePercent(const RE::ActorValueInfo* actorValue) const
{
    const auto found = percents_.find(actorValue);
    return found == percents_.end() ? 0.0F : found->second;
}

void FakeGame::SetAutoAimData(bool present) noexcept
{
    autoAim_.write(game_facts::kAutoAimDataOffset, present ? autoAimData_.data() : nullptr);
}

void FakeGame::SetAutoAimTarget(RE::TESObjectREFR* target) noexcept
{
    autoAimData_.write(game_facts::kAutoAimDataTargetOffset, target);
}
