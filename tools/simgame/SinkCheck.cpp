#include "SinkCheck.h"

#include "GameFacts.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace sim {

void CheckSinks(Timeline& timeline, FakeGame& game, bool installed, bool uiPresent)
{
    std::vector<const void*> expected;
    if (installed) {
        if (uiPresent) {
            expected.push_back(game.MenuOpenCloseSource());
        }
        for (const std::uint64_t id : game_facts::kEventSourceIDs) {
            expected.push_back(FakeGame::EventSource(id));
        }
    }
    std::vector<const void*> sources;
    std::vector<const void*> sinks;
    for (const auto& [source, sink] : game.registeredSinks) {
        sources.push_back(source);
        sinks.push_back(sink);
    }
    std::sort(sinks.begin(), sinks.end());
    const bool distinct = std::adjacent_find(sinks.begin(), sinks.end()) == sinks.end() &&
                          std::find(sinks.begin(), sinks.end(), nullptr) == sinks.end();
    timeline.Check(sources == expected && distinct,
                   std::to_string(expected.size()) + " sinks registered, one each, in order");
}

}  // namespace sim
