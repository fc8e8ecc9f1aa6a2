# Flags for the targets that hold our own code (not the third-party ones).

# Unity builds: each target's files compiled a few at a time as one. Most of
# a file's compile time at -O3 went to generating the same fmt and spdlog
# template code as its neighbours; compiled together they generate it once,
# which halves the cold build. Names at file scope (anonymous namespaces
# included) must therefore differ between the files of a target.
# -DCMAKE_UNITY_BUILD=OFF builds file by file.
if(NOT DEFINED CMAKE_UNITY_BUILD)
  set(CMAKE_UNITY_BUILD ON)
endif()

# Source paths in log lines and fatal reports are relative to the project, never
# the path of the machine that built the binary.
add_compile_options(-fmacro-prefix-map=${CMAKE_SOURCE_DIR}/=)

if(LUMENVEIL_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

if(LUMENVEIL_TSAN)
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
endif()

if((LUMENVEIL_SANITIZE OR LUMENVEIL_TSAN) AND CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  # A sanitizer's report needs files and lines, not variables: line tables
  # alone take a tenth off the build of these trees.
  add_compile_options(-gline-tables-only)
endif()

if(WIN32)
  # A player's game folder holds no MinGW runtime: libgcc, libstdc++ and
  # winpthread go into every binary we build.
  add_link_options(-static)
endif()

function(lumenveil_own_code target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wsign-conversion)
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    # GCC 12 reports std::string appends as overlapping copies, and string
    # assignments and concatenations as copies out of bounds, at -O2 and above:
    # known false positives of -Wrestrict, -Warray-bounds and -Wstringop-* on
    # the standard library's inlined code. Which files they hit moves with the
    # order the headers come in, so a precompiled header brings them to files
    # that had none. Clang's bounds warnings and the native builds' sanitizers
    # still cover our code.
    target_compile_options(${target} PRIVATE -Wno-restrict -Wno-array-bounds -Wno-stringop-overflow
                                             -Wno-stringop-overread)
  endif()
  if(LUMENVEIL_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

# A Windows program that stands in for the game carries the game's product
# version: it selects the address-library file. Programs that run side by side
# take versions of their own, since the decoded table is shared by version.
function(lumenveil_game_version target version)
  string(REPLACE "." ", " GAME_VERSION_COMMAS ${version})
  set(GAME_VERSION ${version})
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}-version.rc)
  configure_file(${CMAKE_SOURCE_DIR}/tests/windows/GameVersion.rc.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
endfunction()

# Test code, ours and Google Test's, builds at -O1 in a release tree: most of
# the Windows build went to optimising Google Test's expanded macros at -O3.
# The code under test keeps the release flags in the libraries and the DLL
# that the test programs link.
function(lumenveil_test_optimisation target)
  target_compile_options(${target} PRIVATE $<$<CONFIG:Release>:-O1>)
endfunction()
