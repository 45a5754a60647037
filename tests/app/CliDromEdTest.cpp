// korvane-cli dromed ... against the simulated DromEd: what DromEd receives, what the shell
// reads back and the exit status of each answer.
#include "app/Cli.h"

#include "support/SimDromEdFixture.h"

#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

namespace kv {
namespace {

using Args = std::vector<std::string>;
using test::TSimDromEdFixture;

struct TRun {
    int Status = -1;
    std::string Out;
    std::string Err;
};

// Runs "korvane-cli dromed ARGS" on the fixture's desktop; Platform receives the name asked for.
TRun Cli(TSimDromEdFixture& f, Args args, std::string* platform = nullptr) {
    args.insert(args.begin(), "dromed");
    std::ostringstream out;
    std::ostringstream err;
    TCliEnvironment environment;
    environment.Clock = [] { return TCliTime{}; };
    environment.Platforms = [&](const std::string& name) -> TPlatform& {
        if (platform != nullptr) *platform = name;
        return f.Desktop;
    };
    const int status = RunCli(args, out, err, environment);
    return {status, out.str(), err.str()};
}

struct TDromEdCase {
    const char* Name;
    std::int32_t Selected; // brush selected in DromEd beforehand; 0 for none
    Args Arguments;
    int Status;
    std::string Out;
    std::string Err;
    std::vector<std::string> Commands; // what DromEd received
};

void PrintTo(const TDromEdCase& c, std::ostream* os) { *os << c.Name; }

class CliDromEdTest : public ::testing::TestWithParam<TDromEdCase> {};

TEST_P(CliDromEdTest, TypesTheCommandAndTurnsTheAnswerIntoTheExitStatus) {
    const TDromEdCase& c = GetParam();
    TSimDromEdFixture f;
    // An object whose name line ends in no usable ID.
    sim::TSimMission mission = TSimDromEdFixture::DemoMission();
    mission.Brushes.push_back({40, bkObject, 0, "Lamp"});
    f.DromEd->SetMission(mission);
    if (c.Selected != 0) f.DromEd->Select(c.Selected);
    const TRun r = Cli(f, c.Arguments);
    EXPECT_EQ(std::to_string(r.Status) + "|" + r.Out + "|" + r.Err,
              std::to_string(c.Status) + "|" + c.Out + "|" + c.Err);
    EXPECT_EQ(f.DromEd->Commands(), c.Commands);
    EXPECT_EQ(f.Desktop.LiveGdiObjects(), 0);
}

const std::string kUsageHint = " (see korvane-cli --help)\n";

// clang-format off
INSTANTIATE_TEST_SUITE_P(Commands, CliDromEdTest, ::testing::Values(
    TDromEdCase{"SelectionOfAnObject", 12, {"selection"}, 0, "O\t12\t345\tGuard (345)\n", "", {}},
    TDromEdCase{"SelectionOfARoom", 20, {"selection"}, 0, "R\t20\t77\tGreat Hall (77)\n", "", {}},
    TDromEdCase{"SelectionOfAnArea", 9, {"selection"}, 0, "A\t9\t0\tCourtyard\n", "", {}},
    TDromEdCase{"SelectionWithoutObjectId", 40, {"selection"}, 0, "O\t40\t0\tLamp (0)\n",
                "korvane-cli: warning: Warning: Could not determine object ID\n", {}},
    TDromEdCase{"NothingSelected", 0, {"selection"}, 2, "",
                "korvane-cli: Unknown selection type\n", {}},
    TDromEdCase{"SelectMissingBrush", 0, {"select-brush", "99"}, 1, "",
                "korvane-cli: DromEd has no brush 99\n", {"brush_select 99"}},
    TDromEdCase{"SelectNegativeObject", 0, {"select-object", "-5"}, 0, "", "",
                {"obj_brush_select -5"}},
    TDromEdCase{"SelectMissingObject", 0, {"select-object", "4242"}, 1, "",
                "korvane-cli: DromEd has no brush for object 4242\n", {"obj_brush_select 4242"}},
    TDromEdCase{"LinkVerified", 0, {"link", "10", "20", "ControlDevice", "--verify"}, 0, "", "",
                {"link_objs 10 20 ControlDevice"}},
    TDromEdCase{"LinkRefused", 0, {"link", "--verify", "10", "999", "ControlDevice"}, 1, "",
                "korvane-cli: DromEd did not answer \"Linked\"\n",
                {"link_objs 10 999 ControlDevice"}},
    TDromEdCase{"LinkUnverified", 0, {"link", "10", "999", "~ControlDevice"}, 0, "", "",
                {"link_objs 10 999 ~ControlDevice"}},
    TDromEdCase{"CameraLevelOnly", 12, {"camera", "--level"}, 0, "", "",
                {"cam_to_brush", "cam_level"}},
    TDromEdCase{"Compress", 0, {"compress"}, 0, "", "", {"compress_br_ids"}},
    TDromEdCase{"SendJoinsTheWords", 0, {"send", "edit_links", "345,0,0"}, 0, "", "",
                {"edit_links 345,0,0"}},
    TDromEdCase{"SendAfterTheEndOfOptions", 0, {"send", "--", "-x"}, 0, "", "", {"-x"}},
    TDromEdCase{"ReadFieldInAnyCase", 21, {"read-field", "oBJECTnAME"}, 0, "Lamp (-5)\n", "", {}},
    TDromEdCase{"ReadBrushNumber", 31, {"read-field", "BrushNumber"}, 0, "31\n", "", {}},
    TDromEdCase{"UnknownField", 0, {"read-field", "dfStatusMessage"}, 2, "",
                "korvane-cli: unknown DromEd field \"dfStatusMessage\"; the fields are RoomName, "
                "ObjectName, AreaName, StatusFile, StatusMessage, CaptionShowHot, CaptionReset, "
                "CaptionBright, CaptionFloorMe, CaptionGroup, CaptionCompile, BrushNumber" +
                kUsageHint, {}},
    TDromEdCase{"UnknownFlag", 0, {"compress", "--verify"}, 2, "",
                "korvane-cli: unknown option \"--verify\" for command \"dromed compress\"" +
                kUsageHint, {}},
    TDromEdCase{"MissingOperands", 0, {"link", "1", "2"}, 2, "",
                "korvane-cli: command \"dromed link\" needs the arguments SOURCE DEST FLAVOR" +
                kUsageHint, {}}),
    [](const ::testing::TestParamInfo<TDromEdCase>& c) { return c.param.Name; });
// clang-format on

TEST(CliDromEdJourneyTest, LoadTakesTheWholePathAndTheCameraFollowsTheSelection) {
    TSimDromEdFixture f;
    ASSERT_EQ(Cli(f, {"select-object", "345"}).Status, 0);
    EXPECT_EQ(Cli(f, {"camera", "--unroll", "--level"}).Status, 0);
    EXPECT_EQ(f.DromEd->CameraBrush(), 12);
    EXPECT_TRUE(f.DromEd->CameraUnrolled());
    EXPECT_TRUE(f.DromEd->CameraLevelled());
    EXPECT_EQ(Cli(f, {"read-field", "statusmessage"}).Out, "Brush 12 selected\n");

    const TRun load = Cli(f, {"load", "Sub/My.MIS"});
    EXPECT_EQ(load.Status, 0);
    std::string whole = (std::filesystem::current_path() / "sub" / "my.mis").generic_string();
    for (char& ch : whole) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    EXPECT_EQ(f.DromEd->Commands().back(), "load_file \"" + whole + "\"");
}

TEST(CliDromEdFailureTest, NotRunningOrUnreachableDromEdIsStatusTwo) {
    TSimDromEdFixture f;
    f.DromEd->SetRefuseForeground(true);
    for (const Args& args : {Args{"select-brush", "12"}, Args{"compress"}, Args{"send", "x"},
                             Args{"camera"}, Args{"link", "10", "20", "ControlDevice"}}) {
        const TRun r = Cli(f, args);
        EXPECT_EQ(std::to_string(r.Status) + r.Err,
                  "2korvane-cli: the command could not be typed into DromEd: a DromEd dialog "
                  "would not close or DromEd would not come to the front\n")
            << args[0];
    }
    EXPECT_TRUE(f.DromEd->Commands().empty());

    f.DromEd.reset();
    for (const Args& args :
         {Args{"selection"}, Args{"select-object", "345"}, Args{"link", "1", "2", "X", "--verify"},
          Args{"camera"}, Args{"compress"}, Args{"load", "a.mis"}, Args{"send", "x"},
          Args{"read-field", "StatusFile"}}) {
        const TRun r = Cli(f, args);
        EXPECT_EQ(std::to_string(r.Status) + r.Out + r.Err,
                  "2korvane-cli: DromEd window not found\n")
            << args[0];
    }
}

TEST(CliDromEdPlatformTest, PlatformOptionNamesTheBackend) {
    TSimDromEdFixture f;
    for (const auto& [args, expected] : {std::pair<Args, std::string>{{"compress"}, ""},
                                         {{"compress", "--platform", "win32"}, "win32"},
                                         {{"--platform=sim", "compress"}, "sim"}}) {
        std::string name = "unset";
        EXPECT_EQ(Cli(f, args, &name).Status, 0);
        EXPECT_EQ(name, expected);
    }

    // Without a desktop handed in, the name goes to the platform factory.
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(RunCli({"dromed", "compress", "--platform", "nosuch"}, out, err), 2);
    EXPECT_TRUE(err.str().starts_with("korvane-cli: Unknown platform \"nosuch\"")) << err.str();
}

} // namespace
} // namespace kv
