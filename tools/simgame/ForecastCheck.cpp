#include "ForecastCheck.h"

#include <cstdio>

namespace sim {

void ForecastCheck::Frame(double now, const Forecast& forecast, bool shown)
{
    if (forecast.seen == Seen::Either) {
        return;
    }
    if (phases_.empty() || phases_.back().seen != forecast.seen || phases_.back().why != forecast.why) {
        phases_.push_back({forecast.seen, forecast.why});
    }
    if ((forecast.seen == Seen::Shown) != shown && !mismatch_) {
        mismatch_ = now;
    }
}

std::string ForecastCheck::Summary() const
{
    std::string text = "HUD";
    for (std::size_t i = 0; i < phases_.size(); ++i) {
        text += (i == 0 ? " " : ", then ");
        text += phases_[i].seen == Seen::Shown ? "shown" : "hidden";
        text += " (" + phases_[i].why + ")";
    }
    if (mismatch_) {
        char when[64];
        std::snprintf(when, sizeof(when), "; it was not at %.3f s", *mismatch_ / 1000.0);
        text += when;
    }
    return text;
}

}  // namespace sim
