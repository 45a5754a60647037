// A simulated desktop with DromEd running on it and a window standing for the program's own
// main window, for end-to-end tests of DromEd remote control.
#pragma once

#include "platform/sim/SimDesktop.h"
#include "simdromed/SimDromEd.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace kv::test {

struct TClientSize {
    int Width;
    int Height;
};

// The client sizes DromEd is read at: wide, the reference size, 800 and below 1024.
inline const TClientSize kDromEdClientSizes[] = {{1280, 1024}, {1024, 768}, {800, 600}, {640, 480}};

// Names parameterised tests after the size ("1280x1024").
struct TClientSizeName {
    template <class ParamInfo> std::string operator()(const ParamInfo& p) const {
        return std::to_string(p.param.Width) + "x" + std::to_string(p.param.Height);
    }
};

// A window standing for the program's own main window, at the desktop's top right.
inline THwnd CreateOwnWindow(sim::TSimDesktop& desktop) {
    return desktop.CreateSimWindow({.ClassName = "TFrmKvMain",
                                    .Title = "Korvane 0.94 [Unnamed]",
                                    .Rect = {1300, 0, 1600, 400}});
}

struct TSimDromEdFixture {
    sim::TSimDesktop Desktop{1600, 1200};
    std::unique_ptr<sim::TSimDromEd> DromEd;
    THwnd Own = 0;

    explicit TSimDromEdFixture(int clientWidth = 1024, int clientHeight = 768) {
        Own = CreateOwnWindow(Desktop);
        Desktop.SetOwnMainWindow(Own);
        DromEd = std::make_unique<sim::TSimDromEd>(
            Desktop,
            sim::TSimDromEdOptions{
                .ClientWidth = clientWidth, .ClientHeight = clientHeight, .Left = 0, .Top = 0});
        DromEd->SetMission(DemoMission());
        Desktop.SetForegroundWindow(Own);
        Desktop.ClearEvents();
    }

    static sim::TSimMission DemoMission() {
        sim::TSimMission m;
        m.FileName = "miss1.mis";
        m.Brushes = {{3, bkTerrain, 0, ""},       {5, bkLight, 0, ""},
                     {9, bkArea, 0, "Courtyard"}, {12, bkObject, 345, "Guard"},
                     {14, bkFlow, 0, ""},         {20, bkRoom, 77, "Great Hall"},
                     {21, bkObject, -5, "Lamp"},  {30, bkObject, 10, "Lever"},
                     {31, bkObject, 20, "Door"}};
        return m;
    }

    std::vector<sim::TSimEvent> Events(sim::TSimEventKind kind) const {
        return Desktop.EventsOf(kind);
    }
    std::vector<std::uint32_t> Sleeps() const {
        std::vector<std::uint32_t> ms;
        for (const auto& e : Desktop.EventsOf(sim::TSimEventKind::Sleep)) ms.push_back(e.Ms);
        return ms;
    }
};

} // namespace kv::test
