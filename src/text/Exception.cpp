#include "text/Exception.h"

#include <new>
#include <typeinfo>

namespace kv {

bool IsAbort(const std::exception& e) noexcept {
    return dynamic_cast<const EAbort*>(&e) != nullptr;
}

std::string ExceptionClassName(const std::exception& e) {
    if (const auto* own = dynamic_cast<const Exception*>(&e)) return own->ClassName();
    if (dynamic_cast<const std::bad_alloc*>(&e) != nullptr) return "EOutOfMemory";
    return "Exception";
}

std::string DescribeException(const std::exception& e) {
    const bool plain = IsAbort(e) || typeid(e) == typeid(Exception) ||
                       dynamic_cast<const Exception*>(&e) == nullptr;
    if (plain && dynamic_cast<const std::bad_alloc*>(&e) == nullptr) return e.what();
    return ExceptionClassName(e) + ": " + e.what();
}

} // namespace kv
