// The comma-text rule and the filter predicates.
#include "scan/ScanFilters.h"

#include <gtest/gtest.h>

namespace orv {
namespace {

std::vector<std::string> Parse(std::string_view text) {
  std::vector<std::string> list{"stale"};
  ParseFilterList(text, list);
  return list;
}

TEST(ScanFilters, ParseFilterListRules) {
  using L = std::vector<std::string>;
  EXPECT_EQ(Parse("jpg, gif"), (L{"jpg", "gif"}));
  EXPECT_EQ(Parse("jpg gif"), (L{"jpg", "gif"}));
  EXPECT_EQ(Parse("a,,b"), (L{"a", "", "b"}));
  EXPECT_EQ(Parse("tmp,"), (L{"tmp", ""}));
  EXPECT_EQ(Parse(",a"), (L{"", "a"}));
  EXPECT_EQ(Parse("\"My Docs\", bin"), (L{"My Docs", "bin"}));
  EXPECT_EQ(Parse("\"say \"\"hi\"\"\""), (L{"say \"hi\""}));
  EXPECT_EQ(Parse(""), (L{}));
  // An unclosed quote: the rest of the text less its last (whole) character.
  EXPECT_EQ(Parse("\"abc"), (L{"ab"}));
  EXPECT_EQ(Parse("\"a\x83\x5C"), (L{"a"}));
  // Double-byte characters belong to the item whole; a full-width space ends nothing.
  EXPECT_EQ(Parse("\x83\x5C\x81\x40" "a,x"), (L{"\x83\x5C\x81\x40" "a", "x"}));
}

TEST(ScanFilters, ExtensionFilterIncludeExcludeAndDottedItems) {
  RunOptions options;
  options.ExtensionFilter = true;
  options.Extensions = " jpg, GIF ";
  TScanFilters filters(options);
  filters.Prepare("/t/");
  EXPECT_TRUE(filters.MatchesExtensionFilter(".JPG"));
  EXPECT_TRUE(filters.MatchesExtensionFilter(".gif"));
  EXPECT_FALSE(filters.MatchesExtensionFilter(".png"));
  EXPECT_FALSE(filters.MatchesExtensionFilter(""));

  options.FilterMode = FilterModeExclude;
  EXPECT_FALSE(filters.MatchesExtensionFilter(".JPG"));
  EXPECT_TRUE(filters.MatchesExtensionFilter(".png"));
  EXPECT_TRUE(filters.MatchesExtensionFilter(""));

  options.FilterMode = FilterModeInclude;
  options.Extensions = ".jpg";
  filters.Prepare("/t/");
  EXPECT_FALSE(filters.MatchesExtensionFilter(".jpg"));

  options.Extensions = "  ";  // blank: every file passes
  filters.Prepare("/t/");
  EXPECT_TRUE(filters.MatchesExtensionFilter(".png"));
}

TEST(ScanFilters, TreeLevelCountsDirectoriesBelowTheTarget) {
  RunOptions options;
  options.EnableTreeLevel = true;
  options.TreeLevel = 1;
  TScanFilters filters(options);
  filters.Prepare("/t/");
  EXPECT_TRUE(filters.WithinTreeLevel("/t/"));
  EXPECT_TRUE(filters.WithinTreeLevel("/t/sub"));
  EXPECT_FALSE(filters.WithinTreeLevel("/t/sub/deeper"));
  options.TreeLevel = 0;
  EXPECT_FALSE(filters.WithinTreeLevel("/t/sub"));
  options.SubFolder = false;  // no effect without subfolders
  EXPECT_TRUE(filters.WithinTreeLevel("/t/sub/deeper"));
}

TEST(ScanFilters, APatternTheEngineGivesUpOnIsRecordedNotTakenForNoMatch) {
  RunOptions options;
  options.RegExp = true;
  // Nested repeats that fail at the end: the engine reaches its match limit long
  // before it has tried every way of cutting the a's.
  options.RegExpText = "m/^(a+)+$/";
  TScanFilters filters(options);
  filters.Prepare("/t/");
  ASSERT_TRUE(filters.AcceptsPattern());
  EXPECT_TRUE(filters.MatchesRegExpFilter("aaaa"));
  const std::string hostile = std::string(40, 'a') + "!";
  EXPECT_FALSE(filters.MatchesRegExpFilter(hostile));
  ASSERT_EQ(filters.PatternErrors().size(), 1u);
  EXPECT_EQ(filters.PatternErrors()[0].Path, hostile);
  EXPECT_FALSE(filters.PatternErrors()[0].Message.empty());
  filters.Prepare("/t/");  // a new run starts clean
  EXPECT_TRUE(filters.PatternErrors().empty());
  options.RegExpText = "m/[unclosed/";
  EXPECT_FALSE(filters.AcceptsPattern());
}

}  // namespace
}  // namespace orv
