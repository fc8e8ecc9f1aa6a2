# spdlog and fmt come from Debian's headers. The Windows build must not see the
# rest of /usr/include, so both are exposed through a folder that holds only
# their two directories. Their code is compiled once, in our own translation
# unit, instead of header-only in every file.
find_path(LUMENVEIL_SPDLOG_ROOT spdlog/spdlog.h PATHS /usr/include NO_CMAKE_FIND_ROOT_PATH REQUIRED)
find_path(LUMENVEIL_FMT_ROOT fmt/format-inl.h PATHS /usr/include NO_CMAKE_FIND_ROOT_PATH REQUIRED)

set(LUMENVEIL_LOGGING_INCLUDE ${CMAKE_BINARY_DIR}/logging-include)
file(MAKE_DIRECTORY ${LUMENVEIL_LOGGING_INCLUDE})
foreach(pair "spdlog;${LUMENVEIL_SPDLOG_ROOT}" "fmt;${LUMENVEIL_FMT_ROOT}")
  list(GET pair 0 name)
  list(GET pair 1 root)
  if(NOT EXISTS ${LUMENVEIL_LOGGING_INCLUDE}/${name})
    file(CREATE_LINK ${root}/${name} ${LUMENVEIL_LOGGING_INCLUDE}/${name} SYMBOLIC)
  endif()
endforeach()

add_library(logging_library STATIC third_party/spdlog_fmt_compiled.cpp)
target_include_directories(logging_library SYSTEM PUBLIC ${LUMENVEIL_LOGGING_INCLUDE})
target_compile_definitions(logging_library PUBLIC SPDLOG_COMPILED_LIB SPDLOG_FMT_EXTERNAL)
target_compile_features(logging_library PUBLIC cxx_std_20)
if(WIN32)
  # Wide file names: a player's Documents folder may hold any character, and
  # narrow names would go through the ANSI code page.
  target_compile_definitions(logging_library PUBLIC WIN32_LEAN_AND_MEAN NOMINMAX SPDLOG_WCHAR_FILENAMES)
endif()

if(LUMENVEIL_TESTS AND WIN32)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
  set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
  find_path(LUMENVEIL_GTEST_SOURCE CMakeLists.txt PATHS /usr/src/googletest NO_CMAKE_FIND_ROOT_PATH REQUIRED)
  add_subdirectory(${LUMENVEIL_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
  foreach(library gtest gtest_main gmock gmock_main)
    lumenveil_test_optimisation(${library})
  endforeach()
elseif(LUMENVEIL_TESTS)
  # Natively, Debian's prebuilt libraries: building Google Test again in each
  # sanitizer tree cost a cold test run half a minute. Their code needs no
  # instrumentation: ASan and TSan intercept its allocations and its locks,
  # and the code under test, which is what they check, is all instrumented.
  find_package(GTest 1.12 CONFIG REQUIRED)
  set_target_properties(GTest::gtest GTest::gtest_main GTest::gmock PROPERTIES IMPORTED_GLOBAL TRUE)
  add_library(gmock ALIAS GTest::gmock)
  add_library(gtest_main ALIAS GTest::gtest_main)
endif()
