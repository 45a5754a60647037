#include "simdromed/ui/SimDromEdWindow.h"

#include "items/BrushInfo.h"
#include "platform/sim/SimDesktop.h"
#include "simdromed/SimDromEd.h"
#include "simdromed/ui/SimKeys.h"
#include "simdromed/ui/SimWindowMirror.h"
#include "text/ui/QtText.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QTreeWidget>

#include <algorithm>
#include <utility>

namespace kv {

namespace {

// Checks for changes made behind the window's back (Korvane typing commands, moving DromEd).
constexpr int kRefreshMs = 100;
constexpr int kBrushIdRole = Qt::UserRole;

bool IsModifierVk(std::uint8_t vk) {
    return vk == win::VK_SHIFT || vk == win::VK_CONTROL || vk == win::VK_MENU;
}

// 0x00BBGGRR to Qt's 0xAARRGGBB.
QRgb RgbOf(std::uint32_t colour) {
    return qRgb(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                static_cast<int>((colour >> 16) & 0xFF));
}

} // namespace

TSimDromEdPicture::TSimDromEdPicture(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TSimDromEdPicture::SetImage(QImage image) {
    image_ = std::move(image);
    update();
}

void TSimDromEdPicture::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), QColor(RgbOf(sim::TSimDromEd::kPanelColour)));
    painter.drawImage(0, 0, image_);
}

TFrmSimDromEd::TFrmSimDromEd(sim::TSimDesktop& desktop, std::unique_ptr<sim::TSimDromEd> dromEd,
                             QWidget* parent)
    : QWidget(parent, Qt::Window), desktop_(desktop), dromEd_(std::move(dromEd)) {
    setObjectName("FrmSimDromEd");
    // Closing DromEd does not end Korvane.
    setAttribute(Qt::WA_QuitOnClose, false);

    Picture = new TSimDromEdPicture(this);
    Picture->setObjectName("Picture");
    // Below this DromEd's screen has no room for its status bar and brush panel.
    Picture->setMinimumSize(320, 240);
    LvBrushes = new QTreeWidget(this);
    LvBrushes->setObjectName("LvBrushes");
    LvBrushes->setHeaderLabels({tr("Brush"), tr("Kind"), tr("Name")});
    LvBrushes->setRootIsDecorated(false);
    LvBrushes->setUniformRowHeights(true);
    LvBrushes->setSelectionMode(QAbstractItemView::SingleSelection);
    LvBrushes->setFixedWidth(kListWidth);
    LvBrushes->header()->setStretchLastSection(true);
    LvBrushes->setColumnWidth(0, 50);
    LvBrushes->setColumnWidth(1, 60);
    // The keyboard belongs to DromEd: keys typed here go to its window, not to the list.
    LvBrushes->setFocusPolicy(Qt::NoFocus);
    setFocusProxy(Picture);
    Picture->installEventFilter(this);
    connect(LvBrushes, &QTreeWidget::itemSelectionChanged, this,
            &TFrmSimDromEd::LvBrushesSelectionChanged);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(Picture, 1);
    layout->addWidget(LvBrushes);

    // The picture takes DromEd's client size, so its pixels stand where DromEd's do.
    const THwnd main = dromEd_->MainWindow();
    TRect client;
    desktop_.GetClientRect(main, client);
    TRect outer;
    desktop_.GetWindowRect(main, outer);
    move(outer.Left, outer.Top);
    resize(client.Width() + kListWidth, client.Height());

    mirror_ = new TSimWindowMirror(desktop_, this, main);
    mirror_->OwnsWindow = [this](THwnd window) {
        if (!dromEd_) return false;
        const std::vector<THwnd> dialogs = dromEd_->Dialogs();
        return std::find(dialogs.begin(), dialogs.end(), window) != dialogs.end();
    };
    mirror_->AfterPush = [this](sim::TSimWindow&) { UpdateFrameWidths(); };

    timer_.setInterval(kRefreshMs);
    connect(&timer_, &QTimer::timeout, this, [this] { Refresh(); });
    timer_.start();
    Refresh(true);
}

TFrmSimDromEd::~TFrmSimDromEd() = default;

bool TFrmSimDromEd::DromEdRunning() const {
    return dromEd_ != nullptr && desktop_.IsWindow(dromEd_->MainWindow());
}

void TFrmSimDromEd::UpdateFrameWidths() {
    // DromEd's frame is everything of this window that is not the picture: the title bar, the
    // borders and the list.
    sim::TSimWindow* w = dromEd_ ? desktop_.Window(dromEd_->MainWindow()) : nullptr;
    if (w == nullptr) return;
    const TRect frame = TSimWindowMirror::FrameRect(*this);
    const QPoint topLeft = Picture->mapTo(this, QPoint(0, 0)) + geometry().topLeft();
    w->Props.FrameLeft = std::max(0, topLeft.x() - frame.Left);
    w->Props.FrameTop = std::max(0, topLeft.y() - frame.Top);
    w->Props.FrameRight = std::max(0, frame.Right - (topLeft.x() + Picture->width()));
    w->Props.FrameBottom = std::max(0, frame.Bottom - (topLeft.y() + Picture->height()));
}

TFrmSimDromEd::TSignature TFrmSimDromEd::Signature() const {
    TSignature s;
    s.Events = desktop_.Events().size();
    s.Now = desktop_.Now();
    s.Foreground = desktop_.GetForegroundWindow();
    s.ZOrder = desktop_.ZOrder();
    if (const sim::TSimWindow* w = desktop_.Window(dromEd_->MainWindow())) s.Rect = w->Props.Rect;
    if (const sim::TSimBrush* brush = dromEd_->Selected()) s.Selected = brush->BrushId;
    s.Status = dromEd_->StatusMessage();
    s.Commands = dromEd_->Commands().size();
    s.CommandLineOpen = dromEd_->CommandLineOpen();
    return s;
}

QImage TFrmSimDromEd::CaptureClient() const {
    // Read through the desktop's screen, as any program would see DromEd: whatever covers its
    // window on the desktop covers it here too.
    const THwnd main = dromEd_->MainWindow();
    TRect client;
    if (!desktop_.GetClientRect(main, client) || client.Width() <= 0 || client.Height() <= 0) {
        return {};
    }
    const int width = client.Width();
    const int height = client.Height();
    int readWidth = 0;
    int readHeight = 0;
    std::vector<std::uint32_t> pixels;
    bool read = false;
    if (const THandle screen = desktop_.GetDC(main); screen != 0) {
        if (const THandle memory = desktop_.CreateCompatibleDC(screen); memory != 0) {
            if (const THandle bitmap = desktop_.CreateCompatibleBitmap(screen, width, height);
                bitmap != 0) {
                const THandle old = desktop_.SelectObject(memory, bitmap);
                read = desktop_.BitBlt(memory, 0, 0, width, height, screen, 0, 0) &&
                       desktop_.ReadPixels(memory, readWidth, readHeight, pixels);
                desktop_.SelectObject(memory, old);
                desktop_.DeleteObject(bitmap);
            }
            desktop_.DeleteDC(memory);
        }
        desktop_.ReleaseDC(main, screen);
    }
    if (!read || readWidth <= 0 || readHeight <= 0) return {};
    QImage image(readWidth, readHeight, QImage::Format_RGB32);
    for (int y = 0; y < readHeight; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        const std::uint32_t* source = pixels.data() + static_cast<std::size_t>(y) * readWidth;
        for (int x = 0; x < readWidth; ++x) line[x] = RgbOf(source[x]);
    }
    return image;
}

void TFrmSimDromEd::Refresh(bool force) {
    if (!dromEd_) return;
    if (!desktop_.IsWindow(dromEd_->MainWindow())) {
        // DromEd's window was closed on the desktop (WM_CLOSE): the program has ended.
        timer_.stop();
        close();
        return;
    }
    mirror_->Pull();
    const std::string& file = dromEd_->Mission().FileName;
    if (dromEd_->Commands().size() != listedCommands_ || file != listedFile_ ||
        dromEd_->Mission().Brushes.size() != listedBrushes_) {
        FillList();
    }
    ShowSelection();
    TSignature now = Signature();
    if (force || !everShown_ || now != shown_) {
        shown_ = std::move(now);
        everShown_ = true;
        Picture->SetImage(CaptureClient());
    }
}

void TFrmSimDromEd::FillList() {
    const sim::TSimMission& mission = dromEd_->Mission();
    listedCommands_ = dromEd_->Commands().size();
    listedFile_ = mission.FileName;
    listedBrushes_ = mission.Brushes.size();
    const QString file = mission.FileName.empty() ? tr("no mission") : ToQt(mission.FileName);
    setWindowTitle(tr("DromEd - %1 (simulated)").arg(file));

    fillingList_ = true;
    LvBrushes->clear();
    QList<QTreeWidgetItem*> rows;
    rows.reserve(static_cast<qsizetype>(mission.Brushes.size()));
    for (const sim::TSimBrush& brush : mission.Brushes) {
        QString name = ToQt(brush.Name);
        if (brush.Kind == bkObject || brush.Kind == bkRoom) {
            name += QStringLiteral(" (%1)").arg(brush.ObjId);
        }
        auto* row = new QTreeWidgetItem(
            {QString::number(brush.BrushId), tr(KindName(brush.Kind, "?")), name});
        row->setData(0, kBrushIdRole, brush.BrushId);
        rows.append(row);
    }
    LvBrushes->addTopLevelItems(rows);
    fillingList_ = false;
    shownSelection_ = -1;
}

void TFrmSimDromEd::ShowSelection() {
    const sim::TSimBrush* brush = dromEd_->Selected();
    const std::int32_t id = brush != nullptr ? brush->BrushId : 0;
    if (id == shownSelection_) return;
    shownSelection_ = id;
    fillingList_ = true;
    LvBrushes->clearSelection();
    for (int i = 0; i < LvBrushes->topLevelItemCount(); ++i) {
        QTreeWidgetItem* row = LvBrushes->topLevelItem(i);
        if (row->data(0, kBrushIdRole).toInt() == id) {
            row->setSelected(true);
            LvBrushes->scrollToItem(row);
            break;
        }
    }
    fillingList_ = false;
}

void TFrmSimDromEd::LvBrushesSelectionChanged() {
    if (fillingList_ || !dromEd_) return;
    const QList<QTreeWidgetItem*> selected = LvBrushes->selectedItems();
    if (selected.isEmpty()) return;
    BringDromEdForward();
    dromEd_->Select(selected.first()->data(0, kBrushIdRole).toInt());
    Refresh();
}

void TFrmSimDromEd::BringDromEdForward() {
    // Keys and clicks here are meant for DromEd, also when a program brought another window to
    // the front of the desktop meanwhile; DromEd's own dialogs keep the keyboard.
    const THwnd foreground = desktop_.GetForegroundWindow();
    const std::vector<THwnd> dialogs = dromEd_->Dialogs();
    if (foreground == dromEd_->MainWindow() ||
        std::find(dialogs.begin(), dialogs.end(), foreground) != dialogs.end()) {
        return;
    }
    desktop_.SetForegroundWindow(dromEd_->MainWindow());
}

void TFrmSimDromEd::ForwardKey(const QKeyEvent& event, bool down) {
    // Windows repeats a held key with key-downs only.
    if ((!down && event.isAutoRepeat()) || !dromEd_) return;
    const TVirtualKey key = VirtualKeyOf(event, desktop_);
    if (key.Vk == 0) return;
    BringDromEdForward();
    if (down && !IsModifierVk(key.Vk) &&
        desktop_.PressHotKey(HotKeyModifiersOf(static_cast<int>(event.modifiers())), key.Vk)) {
        ScheduleRefresh();
        return;
    }
    const auto send = [this](std::uint8_t vk, bool press) {
        const auto scan = static_cast<std::uint8_t>(desktop_.MapVirtualKey(vk, 0));
        desktop_.KeybdEvent(vk, scan, press ? 0 : win::KEYEVENTF_KEYUP);
        if (press) {
            heldKeys_.insert(vk);
        } else {
            heldKeys_.erase(vk);
        }
    };
    // A character typed without its Shift key seen (a test, an input method) still needs it.
    const bool addShift =
        down && key.NeedsShift && (desktop_.GetKeyState(win::VK_SHIFT) & 0x8000) == 0;
    if (addShift) send(win::VK_SHIFT, true);
    send(key.Vk, down);
    if (addShift) send(win::VK_SHIFT, false);
    ScheduleRefresh();
}

void TFrmSimDromEd::ScheduleRefresh() {
    // Typed text arrives in bursts: one picture after the burst, not one per key.
    if (refreshPending_) return;
    refreshPending_ = true;
    QTimer::singleShot(0, this, [this] {
        refreshPending_ = false;
        Refresh();
    });
}

void TFrmSimDromEd::ReleaseHeldKeys() {
    // Keys released after the focus left never reach this window; leaving them pressed on the
    // desktop would leave DromEd with a stuck Shift or Alt.
    const std::set<std::uint8_t> held = std::exchange(heldKeys_, {});
    for (const std::uint8_t vk : held) {
        desktop_.KeybdEvent(vk, static_cast<std::uint8_t>(desktop_.MapVirtualKey(vk, 0)),
                            win::KEYEVENTF_KEYUP);
    }
}

bool TFrmSimDromEd::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Picture) {
        switch (event->type()) {
        case QEvent::ShortcutOverride:
            // Every key is DromEd's, none is a shortcut of this program.
            event->accept();
            return true;
        case QEvent::KeyPress: ForwardKey(*static_cast<QKeyEvent*>(event), true); return true;
        case QEvent::KeyRelease: ForwardKey(*static_cast<QKeyEvent*>(event), false); return true;
        case QEvent::FocusOut: ReleaseHeldKeys(); break;
        case QEvent::MouseButtonPress:
            if (dromEd_) BringDromEdForward();
            break;
        default: break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TFrmSimDromEd::closeEvent(QCloseEvent* event) {
    timer_.stop();
    ReleaseHeldKeys();
    event->accept();
    // The simulated DromEd ends with its window; its windows leave the desktop at once, so
    // nothing finds a DromEd that is no longer shown.
    dromEd_.reset();
    deleteLater();
}

} // namespace kv
