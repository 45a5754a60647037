// The simulated DromEd on the screen: a window that shows DromEd's client area as the simulated
// desktop draws it, lists the mission's brushes beside it (a click selects one, as a click in
// DromEd would), and plays every key pressed in it on the simulated desktop, first as a global
// hotkey and otherwise to DromEd's window. The window owns the simulated DromEd: closing it
// ends that DromEd.
#pragma once

#include "platform/Platform.h"

#include <QImage>
#include <QTimer>
#include <QWidget>

#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <vector>

class QTreeWidget;

namespace kv::sim {
class TSimDesktop;
class TSimDromEd;
} // namespace kv::sim

namespace kv {

class TSimWindowMirror;

// Shows the picture of DromEd's client area; the window takes its keys.
class TSimDromEdPicture : public QWidget {
    Q_OBJECT
public:
    explicit TSimDromEdPicture(QWidget* parent);
    void SetImage(QImage image);
    [[nodiscard]] const QImage& Image() const { return image_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage image_;
};

class TFrmSimDromEd : public QWidget {
    Q_OBJECT
public:
    // The list's width beside the picture.
    static constexpr int kListWidth = 240;

    TFrmSimDromEd(sim::TSimDesktop& desktop, std::unique_ptr<sim::TSimDromEd> dromEd,
                  QWidget* parent = nullptr);
    ~TFrmSimDromEd() override;

    // Null once the window was closed (it is deleted soon after).
    [[nodiscard]] sim::TSimDromEd* DromEd() const { return dromEd_.get(); }
    [[nodiscard]] bool DromEdRunning() const;
    [[nodiscard]] TSimWindowMirror& Mirror() const { return *mirror_; }

    // Brings the picture, the list and the window's place up to date with the simulation;
    // Force redraws the picture even when nothing seems to have changed.
    void Refresh(bool force = false);

    TSimDromEdPicture* Picture = nullptr;
    QTreeWidget* LvBrushes = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    struct TSignature {
        std::size_t Events = 0;
        std::uint64_t Now = 0;
        THwnd Foreground = 0;
        std::vector<THwnd> ZOrder;
        TRect Rect;
        std::int32_t Selected = 0;
        std::string Status;
        std::size_t Commands = 0;
        bool CommandLineOpen = false;
        friend bool operator==(const TSignature&, const TSignature&) = default;
    };
    [[nodiscard]] TSignature Signature() const;
    void ForwardKey(const QKeyEvent& event, bool down);
    void ScheduleRefresh();
    void ReleaseHeldKeys();
    void BringDromEdForward();
    void FillList();
    void ShowSelection();
    void LvBrushesSelectionChanged();
    void UpdateFrameWidths();
    [[nodiscard]] QImage CaptureClient() const;

    sim::TSimDesktop& desktop_;
    std::unique_ptr<sim::TSimDromEd> dromEd_;
    TSimWindowMirror* mirror_ = nullptr;
    QTimer timer_;
    TSignature shown_;
    bool everShown_ = false;
    std::size_t listedCommands_ = static_cast<std::size_t>(-1);
    std::string listedFile_;
    std::size_t listedBrushes_ = 0;
    std::int32_t shownSelection_ = -1;
    bool fillingList_ = false;
    bool refreshPending_ = false;
    std::set<std::uint8_t> heldKeys_; // pressed here and not yet released
};

} // namespace kv
