# Precompiled headers: most of a cold build parsed the same standard library,
# fmt and spdlog headers (and in the tests Google Test's and Google Mock's) in
# every file. A target of several files parses them once. Win32 headers stay
# out: code that does not include <windows.h> must not see its macros.
set(LUMENVEIL_COMMON_HEADERS
  <algorithm> <array> <atomic> <chrono> <cstddef> <cstdint> <cstdio> <cstdlib> <cstring> <filesystem>
  <fstream> <functional> <map> <memory> <mutex> <optional> <string> <string_view> <utility> <vector>
  <fmt/format.h> <spdlog/spdlog.h>)
set(LUMENVEIL_TEST_HEADERS <gmock/gmock.h> <gtest/gtest.h>)

# lumenveil_precompiled_headers(<target> [TESTS])
function(lumenveil_precompiled_headers target)
  cmake_parse_arguments(PARSE_ARGV 1 pch "TESTS" "" "")
  set(headers ${LUMENVEIL_COMMON_HEADERS})
  if(pch_TESTS)
    list(APPEND headers ${LUMENVEIL_TEST_HEADERS})
  endif()
  target_precompile_headers(${target} PRIVATE ${headers})
endfunction()

# A target whose flags equal those of another one reuses that one's header
# instead of compiling its own.
function(lumenveil_reuse_precompiled_headers target from)
  target_precompile_headers(${target} REUSE_FROM ${from})
endfunction()
