// The favourites file: its exact bytes, reading lists out of surrounding text, and save order.
#include "workspace/FavoritesFile.h"

#include "text/TextFile.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace kv {
namespace {

using namespace std::string_literals;
using Lines = std::vector<std::string>;
using Items = std::vector<TBrushInfo>;

const TBrushInfo kTerrain{bkTerrain, 17, 0, "Terrain"};
const TBrushInfo kGuard{bkObject, 12, 345, "Guard (345)"};
const TBrushInfo kLight{bkLight, 3, 0, "Light"};
const TBrushInfo kHall{bkRoom, 40, 9, "Hall {north}"};

const std::string kTerrainLine = "1{1}2{17}1{0}7{Terrain}";
const std::string kGuardLine = "1{4}2{12}3{345}11{Guard (345)}";
const std::string kLightLine = "1{2}1{3}1{0}5{Light}";

std::vector<const TBrushInfo*> Pointers(const Items& items) {
    std::vector<const TBrushInfo*> pointers;
    for (const auto& item : items) pointers.push_back(&item);
    return pointers;
}

// ---------------------------------------------------------------------------------------------
// Writing

TEST(FormatFavoritesFileTest, OneObjectItem) {
    EXPECT_EQ(FormatFavoritesFile(Pointers({kGuard})),
              "*FAVLIST\r\n1{4}2{12}3{345}11{Guard (345)}\r\n~FAVLIST\r\n");
}

TEST(FormatFavoritesFileTest, EmptyListIsJustTheTwoMarkers) {
    EXPECT_EQ(FormatFavoritesFile({}), "*FAVLIST\r\n~FAVLIST\r\n");
}

TEST(FormatFavoritesFileTest, ItemsInTheOrderGiven) {
    EXPECT_EQ(FormatFavoritesFile(Pointers({kTerrain, kGuard})),
              "*FAVLIST\r\n" + kTerrainLine + "\r\n" + kGuardLine + "\r\n~FAVLIST\r\n");
    EXPECT_EQ(FormatFavoritesFile(Pointers({kGuard, kTerrain})),
              "*FAVLIST\r\n" + kGuardLine + "\r\n" + kTerrainLine + "\r\n~FAVLIST\r\n");
}

TEST(FormatFavoritesFileTest, WrittenFileReadsBackUnchanged) {
    std::string highBytes;
    for (unsigned b = 0x80; b <= 0xFF; ++b) highBytes += static_cast<char>(b);
    const Items items = {kTerrain,
                         kGuard,
                         kHall,
                         {bkArea, -1, 0, ""},
                         {bkFlow, 2147483647, -2147483647 - 1, highBytes},
                         kGuard};
    const TFavoritesParse parsed =
        ParseFavoritesLines(SplitTextLines(FormatFavoritesFile(Pointers(items))));
    EXPECT_EQ(parsed.Items, items);
    EXPECT_EQ(parsed.Error, "");
}

TEST(FormatFavoritesFileTest, ANameWithLineBreaksKeepsItsLine) {
    const Items items = {kTerrain, {bkObject, 3, 9, "Two\r\nlines\rand\nmore"}, kGuard};
    const TFavoritesParse parsed =
        ParseFavoritesLines(SplitTextLines(FormatFavoritesFile(Pointers(items))));
    EXPECT_EQ(parsed.Error, "");
    EXPECT_EQ(parsed.Items, (Items{kTerrain, {bkObject, 3, 9, "Two  lines and more"}, kGuard}));
}

// ---------------------------------------------------------------------------------------------
// Reading

struct ParseCase {
    const char* Name;
    Lines FileLines;
    Items Expected;
    std::string Error;
};

class ParseFavoritesLinesTest : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseFavoritesLinesTest, ReadsTheItemsBetweenTheMarkers) {
    const TFavoritesParse parsed = ParseFavoritesLines(GetParam().FileLines);
    EXPECT_EQ(parsed.Items, GetParam().Expected);
    EXPECT_EQ(parsed.Error, GetParam().Error);
}

INSTANTIATE_TEST_SUITE_P(
    Files, ParseFavoritesLinesTest,
    ::testing::Values(
        ParseCase{"EmptyFile", {}, {}, ""},
        ParseCase{"EmptyList", {"*FAVLIST", "~FAVLIST"}, {}, ""},
        ParseCase{"NoMarkerMeansNoItems", {"hello", kGuardLine, kTerrainLine}, {}, ""},
        ParseCase{"TextAroundTheList",
                  {"Favourites of miss1", "", "*FAVLIST", kTerrainLine, kGuardLine, "~FAVLIST",
                   "trailing notes", "x{y}"},
                  {kTerrain, kGuard},
                  ""},
        ParseCase{"TwoListsInFileOrder",
                  {"*FAVLIST", kGuardLine, "~FAVLIST", "between", kGuardLine, "*FAVLIST",
                   kTerrainLine, kLightLine, "~FAVLIST"},
                  {kGuard, kTerrain, kLight},
                  ""},
        ParseCase{"ListWithoutEndMarkerRunsToTheEnd",
                  {"*FAVLIST", kGuardLine, kLightLine},
                  {kGuard, kLight},
                  ""},
        ParseCase{"EndMarkerWithoutListIsIgnored", {"~FAVLIST", kGuardLine, "~FAVLIST"}, {}, ""},
        ParseCase{"SecondBeginMarkerInsideListIsHarmless",
                  {"*FAVLIST", kGuardLine, "*FAVLIST", kLightLine, "~FAVLIST"},
                  {kGuard, kLight},
                  ""},
        ParseCase{
            "BeginMarkerInLowerCaseOpensNothing", {"*favlist", kGuardLine, "~FAVLIST"}, {}, ""},
        ParseCase{"BeginMarkerWithLeadingSpaceOpensNothing",
                  {" *FAVLIST", kGuardLine, "~FAVLIST"},
                  {},
                  ""},
        ParseCase{"BeginMarkerWithTrailingSpaceOpensNothing",
                  {"*FAVLIST ", kGuardLine, "~FAVLIST"},
                  {},
                  ""},
        ParseCase{"EndMarkerInWrongCaseIsAFavouriteLine",
                  {"*FAVLIST", kGuardLine, "~Favlist", kLightLine, "~FAVLIST"},
                  {kGuard},
                  "Invalid encoded string"},
        ParseCase{"EmptyLineStopsAndKeepsEarlierItems",
                  {"*FAVLIST", kTerrainLine, kGuardLine, "", kLightLine, "~FAVLIST"},
                  {kTerrain, kGuard},
                  "Invalid encoded string"},
        ParseCase{"BadIntegerStopsTheRead",
                  {"*FAVLIST", kGuardLine, "1{4}2{1x}1{0}0{}", kLightLine, "~FAVLIST"},
                  {kGuard},
                  "Invalid encoded integer"},
        ParseCase{"ErrorStopsEvenLaterLists",
                  {"*FAVLIST", "broken", "~FAVLIST", "*FAVLIST", kGuardLine, "~FAVLIST"},
                  {},
                  "Invalid encoded string"},
        ParseCase{"EmptyLineOutsideListIsFine",
                  {"", "*FAVLIST", kGuardLine, "~FAVLIST", ""},
                  {kGuard},
                  ""}),
    [](const auto& p) { return std::string(p.param.Name); });

// Where a read stops, and whether the lines held a favourites list at all.
struct ErrorPlaceCase {
    const char* Name;
    Lines FileLines;
    bool HasList;
    std::size_t ErrorLine;
    std::string Message; // for the file "level1.kvf"; empty when nothing failed
};

class FavoritesErrorPlaceTest : public ::testing::TestWithParam<ErrorPlaceCase> {};

TEST_P(FavoritesErrorPlaceTest, NamesTheLineAndTheFile) {
    const TFavoritesParse parsed = ParseFavoritesLines(GetParam().FileLines);
    EXPECT_EQ(parsed.HasList, GetParam().HasList);
    EXPECT_EQ(parsed.ErrorLine, GetParam().ErrorLine);
    if (!GetParam().Message.empty()) {
        EXPECT_EQ(FavoritesErrorMessage(parsed, "level1.kvf"), GetParam().Message);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Files, FavoritesErrorPlaceTest,
    ::testing::Values(
        ErrorPlaceCase{"MissionLikeText", {"LG\x01\x02", "1{4}2{12}3{345}1{x}"}, false, 0, ""},
        ErrorPlaceCase{"OnlyTheEndMarker", {"~FAVLIST", kGuardLine}, false, 0, ""},
        ErrorPlaceCase{"MarkerInLowerCase", {"*favlist", kGuardLine, "~favlist"}, false, 0, ""},
        ErrorPlaceCase{"EmptyListIsAList", {"*FAVLIST", "~FAVLIST"}, true, 0, ""},
        ErrorPlaceCase{"BadIntegerWithItsText",
                       {"*FAVLIST", kGuardLine, "1{4}2{1x}1{0}0{}", "~FAVLIST"},
                       true,
                       3,
                       "Invalid encoded integer in line 3 of \"level1.kvf\": 1{4}2{1x}1{0}0{}"},
        ErrorPlaceCase{"EmptyLineWithoutText",
                       {"notes", "*FAVLIST", kTerrainLine, "", "~FAVLIST"},
                       true,
                       4,
                       "Invalid encoded string in line 4 of \"level1.kvf\""},
        ErrorPlaceCase{"SixtyCharactersShown",
                       {"*FAVLIST", std::string(60, 'x')},
                       true,
                       2,
                       "Invalid encoded string in line 2 of \"level1.kvf\": " +
                           std::string(60, 'x')},
        ErrorPlaceCase{"LongLineNotShown",
                       {"*FAVLIST", std::string(61, 'x')},
                       true,
                       2,
                       "Invalid encoded string in line 2 of \"level1.kvf\""},
        ErrorPlaceCase{"ControlCharactersNotShown",
                       {"~FAVLIST", "*FAVLIST", kGuardLine, kLightLine, "\x1B[2J"},
                       true,
                       5,
                       "Invalid encoded string in line 5 of \"level1.kvf\""}),
    [](const auto& p) { return std::string(p.param.Name); });

TEST(FavoritesFileMessagesTest, NoListNamesTheFile) {
    EXPECT_EQ(NoFavoritesListMessage("miss1.mis"), "No favorites list found in \"miss1.mis\"");
}

struct FileBytesCase {
    const char* Name;
    std::string Bytes;
};

class FavoritesFileBytesTest : public ::testing::TestWithParam<FileBytesCase> {};

TEST_P(FavoritesFileBytesTest, ReadsWhateverTheLineEnds) {
    const TFavoritesParse parsed = ParseFavoritesLines(SplitTextLines(GetParam().Bytes));
    EXPECT_EQ(parsed.Items, (Items{kTerrain, kGuard}));
    EXPECT_EQ(parsed.Error, "");
}

INSTANTIATE_TEST_SUITE_P(
    LineEnds, FavoritesFileBytesTest,
    ::testing::Values(
        FileBytesCase{"CrLf",
                      "*FAVLIST\r\n" + kTerrainLine + "\r\n" + kGuardLine + "\r\n~FAVLIST\r\n"},
        FileBytesCase{"Lf", "*FAVLIST\n" + kTerrainLine + "\n" + kGuardLine + "\n~FAVLIST\n"},
        FileBytesCase{"Cr", "*FAVLIST\r" + kTerrainLine + "\r" + kGuardLine + "\r~FAVLIST"},
        FileBytesCase{"ZeroByteEndsTheText", "*FAVLIST\r\n" + kTerrainLine + "\r\n" + kGuardLine +
                                                 "\r\n~FAVLIST\r\n\0broken\r\n"s},
        FileBytesCase{"ZeroByteCutsAnUnfinishedList",
                      "*FAVLIST\n" + kTerrainLine + "\n" + kGuardLine + "\n\0broken"s}),
    [](const auto& p) { return std::string(p.param.Name); });

// ---------------------------------------------------------------------------------------------
// Save order

struct SaveOrderCase {
    const char* Name;
    std::vector<int> Shown; // indexes into the favourites list, in display order
    std::vector<int> Expected;
};

class FavoritesInSaveOrderTest : public ::testing::TestWithParam<SaveOrderCase> {};

TEST_P(FavoritesInSaveOrderTest, ShownRowsFirstThenHiddenInListOrder) {
    TFavoriteList all;
    for (int i = 0; i < 5; ++i) {
        all.push_back(std::make_unique<TBrushInfo>(TBrushInfo{bkObject, i + 1, 0, "item"}));
    }
    std::vector<const TBrushInfo*> shown;
    for (const int i : GetParam().Shown) shown.push_back(all[static_cast<std::size_t>(i)].get());

    std::vector<const TBrushInfo*> expected;
    for (const int i : GetParam().Expected) {
        expected.push_back(all[static_cast<std::size_t>(i)].get());
    }
    EXPECT_EQ(FavoritesInSaveOrder(shown, all), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Orders, FavoritesInSaveOrderTest,
    ::testing::Values(SaveOrderCase{"NothingHidden", {0, 1, 2, 3, 4}, {0, 1, 2, 3, 4}},
                      SaveOrderCase{"SortedNothingHidden", {4, 2, 0, 3, 1}, {4, 2, 0, 3, 1}},
                      SaveOrderCase{"AllHidden", {}, {0, 1, 2, 3, 4}},
                      SaveOrderCase{"SomeHiddenSorted", {3, 1}, {3, 1, 0, 2, 4}},
                      SaveOrderCase{"OneShown", {2}, {2, 0, 1, 3, 4}}),
    [](const auto& p) { return std::string(p.param.Name); });

TEST(FavoritesInSaveOrderTest, EqualItemsAreStillAllWritten) {
    // Identical records are distinct favourites: a save must not merge them.
    TFavoriteList all;
    for (int i = 0; i < 3; ++i) all.push_back(std::make_unique<TBrushInfo>(kGuard));
    const auto order = FavoritesInSaveOrder({all[1].get()}, all);
    EXPECT_EQ(order, (std::vector<const TBrushInfo*>{all[1].get(), all[0].get(), all[2].get()}));
}

TEST(FavoritesInSaveOrderTest, EmptyListSavesNothing) {
    EXPECT_TRUE(FavoritesInSaveOrder({}, TFavoriteList{}).empty());
}

} // namespace
} // namespace kv
