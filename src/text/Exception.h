// The program's exception types. Every layer raises them, so they live in the base library.
#pragma once

#include <exception>
#include <stdexcept>
#include <string>

namespace kv {

// The generic failure: a plain English message for the user.
class Exception : public std::runtime_error {
public:
    explicit Exception(const std::string& message) : std::runtime_error(message) {}
    // The type name shown in front of the message for the more specific types.
    [[nodiscard]] virtual const char* ClassName() const noexcept { return "Exception"; }
};

// Cancels an operation after the user chose Cancel; never shown to the user.
class EAbort : public Exception {
public:
    EAbort() : Exception("Operation aborted") {}
    [[nodiscard]] const char* ClassName() const noexcept override { return "EAbort"; }
};

// True for the silent abort.
[[nodiscard]] bool IsAbort(const std::exception& e) noexcept;

// The type name of E as the log and message boxes show it ("EDromEdNotFound"); for exceptions
// from outside the program a name that says what kind of failure it was.
[[nodiscard]] std::string ExceptionClassName(const std::exception& e);

// The one-line text of the log: the message alone for the generic type and the abort,
// otherwise type name, ": " and message.
[[nodiscard]] std::string DescribeException(const std::exception& e);

} // namespace kv
