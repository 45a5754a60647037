// The simulated DromEd: its main window, the command line, what its commands do, its dialogs,
// and that the program's reader reads back what it draws at every supported client size.
#include "simdromed/SimDromEd.h"

#include "dromed/TextRecognition.h"
#include "dromedscreen/DromEdFields.h"

#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kv::sim {
namespace {

using win::VK_BACK;
using win::VK_ESCAPE;
using win::VK_RETURN;
using win::VK_SHIFT;

TSimMission SampleMission() {
    TSimMission mission;
    mission.FileName = "c:/missions/sample.mis";
    mission.Brushes = {
        {40, bkLight, 0, ""},        {3, bkTerrain, 0, ""},   {12, bkRoom, 20, "Hall"},
        {7, bkObject, 345, "Guard"}, {15, bkArea, 0, "Yard"}, {41, bkFlow, 0, ""},
    };
    mission.ExtraObjects = {-5};
    return mission;
}

class SimDromEdTest : public ::testing::Test {
protected:
    SimDromEdTest() { dromed_.SetMission(SampleMission()); }

    TSimWindow& Main() { return *desktop_.Window(dromed_.MainWindow()); }

    void Press(std::uint8_t vk, char ch = 0) {
        Main().OnKey({vk, true, ch});
        Main().OnKey({vk, false, 0});
    }
    void TypeText(std::string_view text) {
        for (const char ch : text) {
            Press(static_cast<std::uint8_t>(desktop_.VkKeyScan(ch) & 0xFF), ch);
        }
    }
    // Escape, ":", the text and Enter, as the program types a command.
    void Run(std::string_view command) {
        Press(VK_ESCAPE, '\x1B');
        TypeText(":");
        TypeText(command);
        Press(VK_RETURN, '\r');
    }

    TSimDesktop desktop_;
    TSimDromEd dromed_{desktop_};
};

// Window

TEST_F(SimDromEdTest, MainWindowIsFoundByItsClassWithDromEdInTheTitle) {
    const THwnd main = dromed_.MainWindow();
    EXPECT_EQ(desktop_.FindWindow(kDromEdWindowClass), main);
    EXPECT_NE(desktop_.GetWindowText(main, 512).find("DromEd"), std::string::npos);
    EXPECT_EQ(desktop_.GetWindowThreadProcessId(main), 77u);
    TRect client;
    ASSERT_TRUE(desktop_.GetClientRect(main, client));
    EXPECT_EQ(client.Width(), 1024);
    EXPECT_EQ(client.Height(), 768);
}

TEST(SimDromEdWindow, OptionsSetClientSizeThreadAndTitle) {
    TSimDesktop desktop;
    TSimDromEd dromed(desktop, {.ClientWidth = 800,
                                .ClientHeight = 600,
                                .Left = 10,
                                .Top = 20,
                                .Title = "DromEd - test.mis",
                                .ThreadId = 9});
    const THwnd main = dromed.MainWindow();
    TRect client;
    ASSERT_TRUE(desktop.GetClientRect(main, client));
    EXPECT_EQ(client.Width(), 800);
    EXPECT_EQ(client.Height(), 600);
    EXPECT_EQ(desktop.GetWindowThreadProcessId(main), 9u);
    EXPECT_EQ(desktop.GetWindowText(main, 512), "DromEd - test.mis");
    EXPECT_EQ(dromed.ClientImage().Width, 800);
}

TEST(SimDromEdWindow, GoingAwayDestroysTheMainWindowAndItsDialogs) {
    TSimDesktop desktop;
    THwnd main = 0;
    THwnd dialog = 0;
    {
        TSimDromEd dromed(desktop);
        main = dromed.MainWindow();
        dialog = dromed.OpenDialog("Properties of 1");
    }
    EXPECT_FALSE(desktop.IsWindow(main));
    EXPECT_FALSE(desktop.IsWindow(dialog));
    EXPECT_EQ(desktop.FindWindow(kDromEdWindowClass), 0u);
}

TEST_F(SimDromEdTest, SysCommandRestoresTheMinimisedWindow) {
    const THwnd main = dromed_.MainWindow();
    TRect before;
    ASSERT_TRUE(desktop_.GetWindowRect(main, before));
    dromed_.Minimise();
    TRect minimised;
    ASSERT_TRUE(desktop_.GetWindowRect(main, minimised));
    EXPECT_LT(minimised.Right, 0);
    EXPECT_LT(minimised.Bottom, 0);

    EXPECT_EQ(desktop_.SendMessage(main, win::WM_SYSCOMMAND, win::SC_HOTKEY,
                                   static_cast<std::intptr_t>(main)),
              0);
    TRect after;
    ASSERT_TRUE(desktop_.GetWindowRect(main, after));
    EXPECT_EQ(after, before);
    EXPECT_TRUE(desktop_.IsWindow(main));
}

TEST_F(SimDromEdTest, RefusingTheForegroundFailsSetForegroundWindow) {
    dromed_.SetRefuseForeground(true);
    EXPECT_FALSE(desktop_.SetForegroundWindow(dromed_.MainWindow()));
    dromed_.SetRefuseForeground(false);
    EXPECT_TRUE(desktop_.SetForegroundWindow(dromed_.MainWindow()));
    EXPECT_EQ(desktop_.GetForegroundWindow(), dromed_.MainWindow());
}

TEST_F(SimDromEdTest, TitleAndClientSizeCanChange) {
    dromed_.SetTitle("Editor");
    EXPECT_EQ(desktop_.GetWindowText(dromed_.MainWindow(), 512), "Editor");
    dromed_.SetClientSize(640, 480);
    TRect client;
    ASSERT_TRUE(desktop_.GetClientRect(dromed_.MainWindow(), client));
    EXPECT_EQ(client.Width(), 640);
    EXPECT_EQ(client.Height(), 480);
    EXPECT_EQ(dromed_.ClientImage().Width, 640);
    EXPECT_EQ(dromed_.ClientImage().Height, 480);
}

// Command line

TEST_F(SimDromEdTest, EscapeColonOpensTheCommandLineAndEnterRunsIt) {
    Press(VK_ESCAPE, '\x1B');
    EXPECT_FALSE(dromed_.CommandLineOpen());
    TypeText(":");
    EXPECT_TRUE(dromed_.CommandLineOpen());
    TypeText("cam_unroll");
    Press(VK_RETURN, '\r');
    EXPECT_FALSE(dromed_.CommandLineOpen());
    EXPECT_EQ(dromed_.Commands(), std::vector<std::string>{"cam_unroll"});
    EXPECT_TRUE(dromed_.CameraUnrolled());
}

TEST_F(SimDromEdTest, ColonWithoutEscapeOpensNothing) {
    TypeText(":cam_level");
    Press(VK_RETURN, '\r');
    EXPECT_TRUE(dromed_.Commands().empty());
    EXPECT_FALSE(dromed_.CameraLevelled());
}

TEST_F(SimDromEdTest, AnotherKeyBetweenEscapeAndColonOpensNothing) {
    Press(VK_ESCAPE, '\x1B');
    TypeText("x:cam_level");
    Press(VK_RETURN, '\r');
    EXPECT_FALSE(dromed_.CommandLineOpen());
    EXPECT_TRUE(dromed_.Commands().empty());
}

TEST_F(SimDromEdTest, ShiftForTheColonKeepsTheEscape) {
    Press(VK_ESCAPE, '\x1B');
    Main().OnKey({VK_SHIFT, true, 0});
    Main().OnKey({static_cast<std::uint8_t>(desktop_.VkKeyScan(':') & 0xFF), true, ':'});
    EXPECT_TRUE(dromed_.CommandLineOpen());
}

TEST_F(SimDromEdTest, BackspaceRemovesTheLastCharacter) {
    Press(VK_ESCAPE, '\x1B');
    TypeText(":cam_levelx");
    Press(VK_BACK, '\b');
    Press(VK_RETURN, '\r');
    EXPECT_EQ(dromed_.Commands(), std::vector<std::string>{"cam_level"});
}

TEST_F(SimDromEdTest, EscapeCancelsTheCommandAndStartsTheNextOne) {
    Press(VK_ESCAPE, '\x1B');
    TypeText(":cam_level");
    Press(VK_ESCAPE, '\x1B');
    EXPECT_FALSE(dromed_.CommandLineOpen());
    TypeText(":cam_unroll");
    Press(VK_RETURN, '\r');
    EXPECT_EQ(dromed_.Commands(), std::vector<std::string>{"cam_unroll"});
    EXPECT_FALSE(dromed_.CameraLevelled());
}

TEST_F(SimDromEdTest, CommandTypedOnTheDesktopKeyboardRuns) {
    ASSERT_TRUE(desktop_.SetForegroundWindow(dromed_.MainWindow()));
    const auto key = [this](std::uint8_t vk, bool up) {
        desktop_.KeybdEvent(vk, 0, up ? win::KEYEVENTF_KEYUP : 0);
    };
    const auto type = [&](std::string_view text) {
        for (const char ch : text) {
            const std::int16_t scan = desktop_.VkKeyScan(ch);
            const auto vk = static_cast<std::uint8_t>(scan & 0xFF);
            const bool shift = (scan & 0x100) != 0;
            if (shift) key(VK_SHIFT, false);
            key(vk, false);
            key(vk, true);
            if (shift) key(VK_SHIFT, true);
        }
    };
    key(VK_ESCAPE, false);
    key(VK_ESCAPE, true);
    type(":brush_select 12");
    key(VK_RETURN, false);
    key(VK_RETURN, true);
    desktop_.PumpKeyboardMessages();
    EXPECT_EQ(dromed_.Commands(), std::vector<std::string>{"brush_select 12"});
    ASSERT_NE(dromed_.Selected(), nullptr);
    EXPECT_EQ(dromed_.Selected()->BrushId, 12);
}

// Commands

TEST_F(SimDromEdTest, BrushSelectSelectsByBrushNumber) {
    Run("brush_select 12");
    ASSERT_NE(dromed_.Selected(), nullptr);
    EXPECT_EQ(dromed_.Selected()->Name, "Hall");
    EXPECT_EQ(dromed_.StatusMessage(), "Brush 12 selected");
}

TEST_F(SimDromEdTest, BrushSelectOfAMissingNumberSaysNoBrush) {
    Run("brush_select 12");
    for (const char* command : {"brush_select 13", "brush_select -4", "brush_select x"}) {
        Run(command);
        EXPECT_EQ(dromed_.StatusMessage().substr(0, 8), "No brush") << command;
        ASSERT_NE(dromed_.Selected(), nullptr);
        EXPECT_EQ(dromed_.Selected()->BrushId, 12) << command;
    }
    EXPECT_EQ(dromed_.StatusMessage(), "No brush with ID x");
}

TEST_F(SimDromEdTest, ObjBrushSelectSelectsTheBrushOfAnObjectOrRoom) {
    Run("obj_brush_select 345");
    ASSERT_NE(dromed_.Selected(), nullptr);
    EXPECT_EQ(dromed_.Selected()->BrushId, 7);
    Run("obj_brush_select 20");
    ASSERT_NE(dromed_.Selected(), nullptr);
    EXPECT_EQ(dromed_.Selected()->BrushId, 12);
}

TEST_F(SimDromEdTest, ObjBrushSelectWithoutABrushSaysNoBrush) {
    Run("obj_brush_select -5");
    EXPECT_EQ(dromed_.StatusMessage(), "No brush for object -5");
    Run("obj_brush_select 0");
    EXPECT_EQ(dromed_.StatusMessage(), "No brush for object 0");
    EXPECT_EQ(dromed_.Selected(), nullptr);
}

TEST_F(SimDromEdTest, LinkObjsLinksExistingObjects) {
    Run("link_objs 345 -5 ControlDevice");
    EXPECT_EQ(dromed_.StatusMessage(), "Linked");
    EXPECT_EQ(dromed_.Mission().Links, (std::vector<TSimLink>{{345, -5, "ControlDevice"}}));
}

TEST_F(SimDromEdTest, LinkObjsFailsForMissingObjectsOrFlavor) {
    for (const char* command : {"link_objs 345 999 ControlDevice", "link_objs 998 20 Contains",
                                "link_objs 345 20", "link_objs 345 x Contains"}) {
        dromed_.SetStatusMessage("");
        Run(command);
        EXPECT_EQ(dromed_.StatusMessage(), "Link failed") << command;
    }
    EXPECT_TRUE(dromed_.Mission().Links.empty());
}

TEST_F(SimDromEdTest, CameraGoesToTheSelectionThenUnrollsAndLevels) {
    Run("cam_to_brush");
    EXPECT_EQ(dromed_.StatusMessage(), "No brush selected");
    EXPECT_EQ(dromed_.CameraBrush(), 0);

    dromed_.Select(15);
    Run("cam_to_brush");
    EXPECT_EQ(dromed_.CameraBrush(), 15);
    Run("cam_unroll");
    Run("cam_level");
    EXPECT_TRUE(dromed_.CameraUnrolled());
    EXPECT_TRUE(dromed_.CameraLevelled());
    Run("cam_to_brush");
    EXPECT_FALSE(dromed_.CameraUnrolled());
    EXPECT_FALSE(dromed_.CameraLevelled());
}

TEST_F(SimDromEdTest, CompressRenumbersWithoutGapsInTheOldOrder) {
    dromed_.Select(12);
    Run("compress_br_ids");
    EXPECT_EQ(dromed_.StatusMessage(), "Brush IDs compressed");
    std::vector<std::pair<std::string, std::int32_t>> numbers;
    for (const TSimBrush& brush : dromed_.Mission().Brushes) {
        numbers.emplace_back(brush.Kind == bkLight ? "light" : brush.Name, brush.BrushId);
    }
    const std::vector<std::pair<std::string, std::int32_t>> expected = {
        {"light", 5}, {"", 1}, {"Hall", 3}, {"Guard", 2}, {"Yard", 4}, {"", 6}};
    EXPECT_EQ(numbers, expected);
    ASSERT_NE(dromed_.Selected(), nullptr);
    EXPECT_EQ(dromed_.Selected()->Name, "Hall");
    EXPECT_EQ(dromed_.Selected()->BrushId, 3);
}

TEST_F(SimDromEdTest, LoadFileWithoutALoaderEmptiesAndNamesTheMission) {
    dromed_.Select(7);
    Run("load_file \"c:/missions/other.mis\"");
    EXPECT_EQ(dromed_.StatusMessage(), "Loaded");
    EXPECT_EQ(dromed_.Mission().FileName, "c:/missions/other.mis");
    EXPECT_TRUE(dromed_.Mission().Brushes.empty());
    EXPECT_EQ(dromed_.Selected(), nullptr);
}

TEST_F(SimDromEdTest, LoadFileHandsThePathToTheLoader) {
    std::string seen;
    dromed_.MissionLoader = [&seen](const std::string& path, TSimMission& mission) {
        seen = path;
        mission.Brushes = {{1, bkObject, 9, "Key"}};
        return true;
    };
    Run("load_file \"c:/missions/my miss.mis\"");
    EXPECT_EQ(seen, "c:/missions/my miss.mis");
    EXPECT_EQ(dromed_.StatusMessage(), "Loaded");
    ASSERT_EQ(dromed_.Mission().Brushes.size(), 1u);
    EXPECT_EQ(dromed_.Mission().Brushes[0].Name, "Key");
}

TEST_F(SimDromEdTest, LoadFileThatFailsKeepsTheMission) {
    dromed_.MissionLoader = [](const std::string&, TSimMission&) { return false; };
    Run("load_file \"c:/missions/broken.mis\"");
    EXPECT_EQ(dromed_.StatusMessage(), "Could not load c:/missions/broken.mis");
    EXPECT_EQ(dromed_.Mission().FileName, "c:/missions/sample.mis");
    EXPECT_EQ(dromed_.Mission().Brushes.size(), 6u);
}

TEST_F(SimDromEdTest, UnknownCommandIsReported) {
    Run("frobnicate 3");
    EXPECT_EQ(dromed_.StatusMessage(), "Unknown command: frobnicate 3");
    EXPECT_EQ(dromed_.Commands(), std::vector<std::string>{"frobnicate 3"});
}

struct EditorCase {
    const char* Command;
    const char* Title;
};

class SimDromEdEditorTest : public SimDromEdTest,
                            public ::testing::WithParamInterface<EditorCase> {};

TEST_P(SimDromEdEditorTest, OpensAnOwnedPopupOfDromEdsThread) {
    Run(GetParam().Command);
    const std::vector<THwnd> dialogs = dromed_.Dialogs();
    ASSERT_EQ(dialogs.size(), 1u);
    const THwnd dialog = dialogs[0];
    EXPECT_EQ(desktop_.GetWindowText(dialog, 512), GetParam().Title);
    EXPECT_EQ(desktop_.GetParent(dialog), dromed_.MainWindow());
    EXPECT_EQ(desktop_.GetWindowThreadProcessId(dialog), 77u);
    std::uint32_t style = 0;
    ASSERT_TRUE(desktop_.GetWindowStyle(dialog, style));
    EXPECT_NE(style & win::WS_POPUP, 0u);
    EXPECT_EQ(desktop_.ZOrder().front(), dialog);
}

INSTANTIATE_TEST_SUITE_P(Commands, SimDromEdEditorTest,
                         ::testing::Values(EditorCase{"edit_obj 345", "Properties of 345"},
                                           EditorCase{"edit_links -5,0,0", "Links of -5"},
                                           EditorCase{"ar_list_sources 20", "Sources of 20"},
                                           EditorCase{"ar_list_receptrons 7", "Receptrons of 7"}));

// Dialogs

TEST_F(SimDromEdTest, DialogsCloseOnWmClose) {
    const THwnd first = dromed_.OpenDialog("Properties of 1");
    const THwnd second = dromed_.OpenDialog("Links of 1");
    EXPECT_EQ(dromed_.Dialogs(), (std::vector<THwnd>{first, second}));
    desktop_.SendMessage(first, win::WM_CLOSE, 0, 0);
    EXPECT_FALSE(desktop_.IsWindow(first));
    EXPECT_EQ(dromed_.Dialogs(), std::vector<THwnd>{second});
}

TEST_F(SimDromEdTest, StubbornDialogsIgnoreWmClose) {
    const THwnd willing = dromed_.OpenDialog("Properties of 1");
    dromed_.SetStubbornDialogs(true);
    const THwnd stubborn = dromed_.OpenDialog("Links of 1");
    EXPECT_EQ(desktop_.SendMessage(stubborn, win::WM_CLOSE, 0, 0), 0);
    desktop_.SendMessage(willing, win::WM_CLOSE, 0, 0);
    EXPECT_EQ(dromed_.Dialogs(), std::vector<THwnd>{stubborn});
}

TEST_F(SimDromEdTest, ADialogOwnedByADialogGoesWithIt) {
    const THwnd outer = dromed_.OpenDialog("Properties of 1");
    const THwnd inner = dromed_.OpenDialog("Links of 1", outer);
    EXPECT_EQ(desktop_.GetParent(inner), outer);
    desktop_.SendMessage(outer, win::WM_CLOSE, 0, 0);
    EXPECT_FALSE(desktop_.IsWindow(inner));
    EXPECT_TRUE(dromed_.Dialogs().empty());
}

// Drawing

struct ClientSize {
    int Width;
    int Height;
};

void PrintTo(const ClientSize& size, std::ostream* os) { *os << size.Width << "x" << size.Height; }

std::string Read(TSimDromEd& dromed, TDromEdField field) {
    const TPixelImage& image = dromed.ClientImage();
    return RecognizeText(image, PlaceDromEdField(field, image.Width, image.Height),
                         DromEdFieldInfo(field).DarkText);
}

struct PanelCase {
    std::int32_t BrushId;
    TDromEdField CaptionField;
    const char* Caption;
    std::optional<TDromEdField> NameField;
    const char* Name;
};

const std::array<PanelCase, 6> kPanels = {{
    {3, dfCaptionReset, "Reset", std::nullopt, ""},
    {40, dfCaptionBright, "Bright", std::nullopt, ""},
    {15, dfCaptionShowHot, "Show Hot", dfAreaName, "Yard"},
    {7, dfCaptionFloorMe, "Floor Me", dfObjectName, "Guard (345)"},
    {41, dfCaptionGroup, "Group", std::nullopt, ""},
    {12, dfCaptionCompile, "Compile", dfRoomName, "Hall (20)"},
}};

class SimDromEdDrawingTest : public ::testing::TestWithParam<ClientSize> {
protected:
    SimDromEdDrawingTest() { dromed_.SetMission(SampleMission()); }

    TSimDesktop desktop_;
    TSimDromEd dromed_{
        desktop_,
        {.ClientWidth = GetParam().Width, .ClientHeight = GetParam().Height, .Left = 0, .Top = 0}};
};

TEST_P(SimDromEdDrawingTest, StatusBarReadsBack) {
    TSimMission mission = SampleMission();
    mission.FileName = "c:/thief/m12.mis"; // the file cell is narrowest at 640 pixels
    dromed_.SetMission(mission);
    dromed_.SetStatusMessage("No brush with ID 13");
    EXPECT_EQ(Read(dromed_, dfStatusFile), "c:/thief/m12.mis");
    EXPECT_EQ(Read(dromed_, dfStatusMessage), "No brush with ID 13");
    dromed_.SetStatusMessage("Linked");
    EXPECT_EQ(Read(dromed_, dfStatusMessage), "Linked");
}

TEST_P(SimDromEdDrawingTest, StatusOfSixtyCharactersReadsBackWhereItFits) {
    const std::string pattern = "Linked 12 objects to -34 in c:/missions/test_1.mis; ok! ";
    std::string message;
    while (message.size() < 60) message += pattern;
    message.resize(60);
    dromed_.SetStatusMessage(message);
    const std::string read = Read(dromed_, dfStatusMessage);
    if (GetParam().Width >= 1024) {
        EXPECT_EQ(read, message);
    } else {
        // A narrow status bar shows as many whole characters as fit.
        EXPECT_GT(read.size(), 30u);
        EXPECT_LT(read.size(), message.size());
        EXPECT_EQ(message.substr(0, read.size()), read);
    }
}

TEST_P(SimDromEdDrawingTest, PanelOfTheSelectedKindReadsBack) {
    for (const PanelCase& panel : kPanels) {
        dromed_.Select(panel.BrushId);
        EXPECT_EQ(Read(dromed_, panel.CaptionField), panel.Caption) << panel.Caption;
        if (panel.NameField) {
            EXPECT_EQ(Read(dromed_, *panel.NameField), panel.Name) << panel.Caption;
        }
        EXPECT_EQ(Read(dromed_, dfBrushNumber), std::to_string(panel.BrushId)) << panel.Caption;
        for (const PanelCase& other : kPanels) {
            if (&other == &panel) continue;
            EXPECT_NE(Read(dromed_, other.CaptionField), other.Caption)
                << panel.Caption << " shows " << other.Caption;
        }
    }
}

TEST_P(SimDromEdDrawingTest, NothingSelectedShowsNoPanel) {
    dromed_.Select(12);
    dromed_.Select(0);
    for (const TDromEdField field :
         {dfRoomName, dfObjectName, dfAreaName, dfCaptionShowHot, dfCaptionReset, dfCaptionBright,
          dfCaptionFloorMe, dfCaptionGroup, dfCaptionCompile, dfBrushNumber}) {
        EXPECT_EQ(Read(dromed_, field), "") << field;
    }
}

TEST_P(SimDromEdDrawingTest, SelectionByCommandShowsOnScreen) {
    const TSimWindow& main = *desktop_.Window(dromed_.MainWindow());
    const auto press = [&main](std::uint8_t vk, char ch) {
        main.OnKey({vk, true, ch});
        main.OnKey({vk, false, 0});
    };
    press(VK_ESCAPE, '\x1B');
    for (const char ch : std::string_view(":obj_brush_select 345")) {
        press(static_cast<std::uint8_t>(desktop_.VkKeyScan(ch) & 0xFF), ch);
    }
    press(VK_RETURN, '\r');
    EXPECT_EQ(Read(dromed_, dfObjectName), "Guard (345)");
    EXPECT_EQ(Read(dromed_, dfStatusMessage), "Brush 7 selected");
}

TEST_P(SimDromEdDrawingTest, ScreenShowsTheClientArea) {
    const THwnd main = dromed_.MainWindow();
    TPoint origin;
    ASSERT_TRUE(desktop_.ClientToScreen(main, origin));
    dromed_.Select(7);
    const TRect name = PlaceDromEdField(dfObjectName, GetParam().Width, GetParam().Height);
    const TRect status = PlaceDromEdField(dfStatusFile, GetParam().Width, GetParam().Height);
    for (const TRect& rect : {name, status}) {
        for (int x = rect.Left; x < rect.Right; ++x) {
            for (int y = rect.Top; y < rect.Bottom; ++y) {
                ASSERT_EQ(desktop_.ScreenPixel(origin.X + x, origin.Y + y),
                          dromed_.ClientPixel(x, y))
                    << x << "," << y;
            }
        }
    }
}

TEST_P(SimDromEdDrawingTest, PanelAndStatusBarColours) {
    const TRect status = PlaceDromEdField(dfStatusFile, GetParam().Width, GetParam().Height);
    EXPECT_EQ(dromed_.ClientPixel(0, 0), TSimDromEd::kPanelColour);
    EXPECT_EQ(dromed_.ClientPixel(0, status.Top), TSimDromEd::kStatusColour);
    EXPECT_EQ(dromed_.ClientPixel(GetParam().Width - 1, status.Bottom - 1),
              TSimDromEd::kStatusColour);
}

INSTANTIATE_TEST_SUITE_P(ClientSizes, SimDromEdDrawingTest,
                         ::testing::Values(ClientSize{1280, 1024}, ClientSize{1024, 768},
                                           ClientSize{800, 600}, ClientSize{640, 480}),
                         [](const ::testing::TestParamInfo<ClientSize>& size) {
                             return std::to_string(size.param.Width) + "x" +
                                    std::to_string(size.param.Height);
                         });

TEST_F(SimDromEdTest, ResizedClientIsDrawnForItsNewSize) {
    dromed_.Select(7);
    EXPECT_EQ(Read(dromed_, dfObjectName), "Guard (345)");
    dromed_.SetClientSize(800, 600);
    EXPECT_EQ(Read(dromed_, dfObjectName), "Guard (345)");
    EXPECT_EQ(Read(dromed_, dfStatusFile), "c:/missions/sample.mis");
}

} // namespace
} // namespace kv::sim
