#include "ui/ActionGuard.h"

#include "text/Exception.h"
#include "text/ui/QtText.h"
#include "ui/UiPrompts.h"

#include <new>

namespace kv {

bool RunGuarded(QWidget* parent, TUiPrompts& prompts, const std::function<void()>& handler) {
    try {
        handler();
        return true;
    } catch (const EAbort&) {
        return false;
    } catch (const std::bad_alloc&) {
        prompts.Message(parent, "Out of memory", TMsgType::Error, TMsgButtons::Ok);
    } catch (const std::exception& e) {
        prompts.Message(parent, ToQt(e.what()), TMsgType::Error, TMsgButtons::Ok);
    }
    return false;
}

} // namespace kv
