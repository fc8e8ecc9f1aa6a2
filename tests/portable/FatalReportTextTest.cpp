#include "Zorvik/FatalReportPortable.h"

#include <gtest/gtest.h>

namespace {

using Zorvik::detail::normalize_source_path;
using Zorvik::detail::shorten_source_path;

TEST(SourcePathNormalForm, UsesBackslashesAndResolvesDotElements)
{
    EXPECT_EQ(normalize_source_path("src/REL/ID.cpp"), "src\\REL\\ID.cpp");
    EXPECT_EQ(normalize_source_path("a/./b//c.cpp"), "a\\b\\c.cpp");
    EXPECT_EQ(normalize_source_path("a/b/../c.cpp"), "a\\c.cpp");
    EXPECT_EQ(normalize_source_path("../a/../../b.cpp"), "..\\..\\b.cpp");
    EXPECT_EQ(normalize_source_path("C:/x/../y.cpp"), "C:\\y.cpp");
    EXPECT_EQ(normalize_source_path("/../y.cpp"), "\\y.cpp") << "nothing lies above the root";
    EXPECT_EQ(normalize_source_path("\\\\server\\share\\..\\f.cpp"), "\\\\server\\f.cpp");
    EXPECT_EQ(normalize_source_path("a/b/.."), "a\\");
    EXPECT_EQ(normalize_source_path("a/.."), ".");
    EXPECT_EQ(normalize_source_path(""), "");
    EXPECT_EQ(normalize_source_path("C:"), "C:") << "a bare drive is a root name";
    EXPECT_EQ(normalize_source_path("C:a/../b.cpp"), "C:b.cpp");
}

TEST(SourcePathShortening, KeepsWhatLiesBelowTheFirstIncludeOrSrcFolder)
{
    EXPECT_EQ(shorten_source_path("src\\REL\\ID.cpp"), "REL\\ID.cpp");
    EXPECT_EQ(shorten_source_path("C:\\build\\include\\REL\\ID.h"), "REL\\ID.h");
    EXPECT_EQ(shorten_source_path("x\\src\\a\\src\\b.cpp"), "a\\src\\b.cpp") << "the first match from the left";
    EXPECT_EQ(shorten_source_path("C:\\mysrc\\b.cpp"), "C:\\mysrc\\b.cpp") << "a folder merely ending in src";
    EXPECT_EQ(shorten_source_path("C:\\work\\Main.cpp"), "C:\\work\\Main.cpp");
}

}  // namespace
