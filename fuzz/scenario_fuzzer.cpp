// The simulated game's scenario parser on arbitrary text, as a player's file
// may hold: it never crashes, and a file is either all steps or one error
// that names the file and a line of it.

#include "FuzzSupport.h"
#include "Scenario.h"

#include <cstdint>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const sim::ScenarioParse parse = sim::ParseScenario(text, "fuzz.scenario");
    if (parse.error) {
        Check(parse.steps.empty(), "a file with a bad line keeps no step");
        Check(parse.error->starts_with("fuzz.scenario:"), "the error names the file");
        return 0;
    }
    int previous = 0;
    for (const sim::Step& step : parse.steps) {
        Check(step.line > previous, "steps keep the order of their lines");
        previous = step.line;
    }
    return 0;
}
