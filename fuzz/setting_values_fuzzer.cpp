// Every INI value parser on arbitrary text, the key-code parser checked against
// the C library's own conversion, and whole reloads fed from the input.

#include "FuzzSupport.h"
#include "settings/SettingValueParsers.h"
#include "settings/Settings.h"

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

namespace {

// The 32-bit unsigned base-16 conversion of a Windows C library, computed with
// this platform's 64-bit one.
std::optional<std::uint32_t> ReferenceKeyCode(const std::string& text)
{
    char* end = nullptr;
    errno = 0;
    const unsigned long long value = std::strtoull(text.c_str(), &end, 16);
    if (end == text.c_str()) {
        return std::nullopt;
    }
    const auto sign = text.find_first_not_of(" \t\n\v\f\r");
    const bool negative = sign != std::string::npos && text[sign] == '-';
    const unsigned long long magnitude = negative ? 0ULL - value : value;
    if (errno == ERANGE || magnitude > std::numeric_limits<std::uint32_t>::max()) {
        return std::nullopt;
    }
    const auto narrow = static_cast<std::uint32_t>(magnitude);
    return negative ? static_cast<std::uint32_t>(0U - narrow) : narrow;
}

std::vector<std::string> values;

std::string ReadFromInput(std::string, std::string, std::string key)
{
    static const char* const kKeys[] = {"bLogging",
                                        "bShowInCombat",
                                        "iKeepHUDShownMS",
                                        "iKeepHUDShownLongMS",
                                        "fShowBelowHealthPercent",
                                        "fShowBelowOxygenPercent",
                                        "fShowBelowBoostPackPercent",
                                        "iMenuOverriderShipHUDMenu",
                                        "iHUDToggle",
                                        "iHUDToggleMinRequiredTimeSinceLastTogglePress",
                                        "iHUDToggleMinHoldTime",
                                        "iVehicleAimKeyDown",
                                        "iHUDToggleGamepad"};
    for (std::size_t i = 0; i < std::size(kKeys) && i < values.size(); ++i) {
        if (key == kKeys[i]) {
            return values[i];
        }
    }
    return {};
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    SilenceLogging();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);

    (void)ParseBoolean(input);
    (void)ParseDigits(input);
    (void)ParseFlag(input);
    if (const auto decimal = ParseDecimal(input)) {
        Check(*decimal == *decimal, "a decimal is never NaN");
    }
    // The C conversion stops at a NUL; the value texts never hold one.
    const std::string terminated(input.substr(0, input.find('\0')));
    Check(ParseKeyCode(terminated) == ReferenceKeyCode(terminated), "key code matches the C library");

    values.clear();
    for (std::size_t start = 0; start <= input.size();) {
        const auto end = std::min(input.find('\n', start), input.size());
        values.emplace_back(input.substr(start, end - start));
        start = end + 1;
    }
    Settings.bLogging = !values.empty() && values[0].size() % 2 == 0;
    ReloadINI(&ReadFromInput);
    Check(Settings->iKeepHUDShownMS >= 0 && Settings->iKeepHUDShownMS <= 10000, "iKeepHUDShownMS in range");
    Check(Settings->iKeepHUDShownLongMS >= 0 && Settings->iKeepHUDShownLongMS <= 15000, "iKeepHUDShownLongMS in range");
    for (const float percent :
         {Settings->fShowBelowHealthPercent, Settings->fShowBelowOxygenPercent, Settings->fShowBelowBoostPackPercent}) {
        Check(percent == -1.0F || (percent >= 0.0F && percent <= 100.0F), "percentage in range or off");
    }
    Check(Settings->iHUDToggle >= 0 && Settings->iHUDToggle <= 255, "iHUDToggle is a key code or 0");
    Check(Settings->iVehicleAimKeyDown >= 0 && Settings->iVehicleAimKeyDown <= 255, "iVehicleAimKeyDown too");
    Check(Settings->iHUDToggleGamepad >= 0 && Settings->iHUDToggleGamepad <= 0xFFFF, "iHUDToggleGamepad a button mask");
    Check(Settings->iHUDToggleMinHoldTime >= 1 && Settings->iHUDToggleMinHoldTime <= 65536, "hold time in range");
    Check(Settings->iHUDToggleMinRequiredTimeSinceLastTogglePress >= 1 &&
              Settings->iHUDToggleMinRequiredTimeSinceLastTogglePress <= 10000,
          "toggle interval in range");
    return 0;
}
