#include "HudChangeRecord.h"

#include <ctime>
#include <iomanip>
#include <sstream>

namespace sim {

std::string LocalTimestamp(std::chrono::system_clock::time_point time)
{
    const std::time_t seconds = std::chrono::system_clock::to_time_t(time);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &seconds);
#else
    localtime_r(&seconds, &local);
#endif
    const auto micros =
        std::chrono::duration_cast<std::chrono::microseconds>(time - std::chrono::system_clock::from_time_t(seconds))
            .count();
    std::ostringstream text;
    text << std::put_time(&local, "%Y-%m-%d %H:%M:%S") << '.' << std::setw(6) << std::setfill('0') << micros;
    return text.str();
}

HudChangeRecord::HudChangeRecord(const std::filesystem::path& folder)
    : path_(folder / kFileName), file_(path_, std::ios::binary | std::ios::trunc)
{
    file_ << "time\thud\treason\n" << std::flush;
}

void HudChangeRecord::Add(std::chrono::system_clock::time_point time, bool shown, const std::string& reason)
{
    std::string flat = reason;
    for (char& c : flat) {
        if (c == '\t' || c == '\n' || c == '\r') {
            c = ' ';
        }
    }
    file_ << LocalTimestamp(time) << '\t' << (shown ? "shown" : "hidden") << '\t' << flat << '\n' << std::flush;
}

}  // namespace sim
