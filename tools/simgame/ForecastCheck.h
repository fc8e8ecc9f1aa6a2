#pragma once

#include "HudModel.h"

#include <optional>
#include <string>
#include <vector>

namespace sim {

// Compares, frame by frame over one step, what the game shows with what the
// simulator expects, and sums it up as one expectation of the timeline.
class ForecastCheck {
public:
    void Frame(double now, const Forecast& forecast, bool shown);

    // Whether any frame was expected one way (not "either").
    [[nodiscard]] bool checked() const noexcept { return !phases_.empty(); }
    [[nodiscard]] bool held() const noexcept { return !mismatch_; }
    // "HUD shown (weapon drawn), then hidden (...)" and, when it did not hold,
    // when the HUD first differed.
    [[nodiscard]] std::string Summary() const;

private:
    struct Phase {
        Seen seen;
        std::string why;
    };
    std::vector<Phase> phases_;
    std::optional<double> mismatch_;
};

}  // namespace sim
