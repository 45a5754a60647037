// The simulated desktop's global hotkeys for keys pressed in any window of this program, as on
// Windows, where a registered hotkey works whichever window has the keyboard. Install it on the
// application; the simulated DromEd's window plays its keys itself and is left alone.
#pragma once

#include <QObject>

namespace kv::sim {
class TSimDesktop;
}

namespace kv {

class TSimHotKeyFilter : public QObject {
    Q_OBJECT
public:
    TSimHotKeyFilter(sim::TSimDesktop& desktop, QObject* parent);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    sim::TSimDesktop& desktop_;
};

} // namespace kv
