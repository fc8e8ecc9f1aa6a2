#pragma once

#include <windows.h>

#include <spdlog/sinks/msvc_sink.h>

namespace Zorvik::detail {

// The library's debugger-output sink writes whether or not anyone listens;
// this one writes only while a debugger is attached, so a player's game pays
// nothing for it.
template <class Mutex>
class debugger_output_sink final : public spdlog::sinks::msvc_sink<Mutex> {
protected:
    void sink_it_(const spdlog::details::log_msg& message) override
    {
        if (IsDebuggerPresent()) {
            spdlog::sinks::msvc_sink<Mutex>::sink_it_(message);
        }
    }
};

}  // namespace Zorvik::detail
