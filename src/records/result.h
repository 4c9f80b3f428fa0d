// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How every operation above the port module reports failure: a Result holds
// either the operation's value or a Failure, the text shown to the user,
// naming what failed and why. Result<> is for operations that give nothing
// back but may fail (writing a file, printing). A Result must be looked at.

#include <string>
#include <type_traits>
#include <utility>
#include <variant>

namespace kestrum {

// What went wrong, for code that acts on it; the message is for the user.
enum class FailureKind {
  kOther,
  kCancelled,    // the user stopped it
  kNotOpened,    // the converter or a file could not be opened
  kUnsent,       // a command did not go out whole
  kShortReply,   // a reply came short: silence, garbled, the converter gone
  kBytesLost,    // the converter lost bytes on the line
  kImplausible,  // a reply came whole but no instrument sends it
  kFile,         // a file could not be read or written
  kStore,        // the history's database failed
};

struct Failure {
  std::string message;
  FailureKind kind = FailureKind::kOther;
};

inline Failure Fail(std::string message) {
  return Failure{std::move(message)};
}

inline Failure Fail(FailureKind kind, std::string message) {
  return Failure{std::move(message), kind};
}

// The value of an operation that gives nothing back.
struct Done {};

template <typename T = Done>
class [[nodiscard]] Result {
 public:
  // Result<> defaults to success: `return {};`.
  template <typename U = T, typename = std::enable_if_t<std::is_same_v<U, Done>>>
  Result() {}
  Result(T value) : state_(std::move(value)) {}
  Result(Failure failure) : state_(std::move(failure)) {}

  bool ok() const { return state_.index() == 0; }
  explicit operator bool() const { return ok(); }

  // Only on success.
  const T& value() const& { return std::get<0>(state_); }
  T& value() & { return std::get<0>(state_); }
  T&& value() && { return std::get<0>(std::move(state_)); }
  const T& operator*() const& { return value(); }
  T& operator*() & { return value(); }
  const T* operator->() const { return &value(); }
  T* operator->() { return &value(); }

  // The failure's text; empty on success.
  const std::string& error() const {
    static const std::string kNone;
    return ok() ? kNone : std::get<1>(state_).message;
  }

  // The failure itself, to pass on unchanged. Only on failure.
  const Failure& failure() const { return std::get<1>(state_); }

 private:
  std::variant<T, Failure> state_;
};

}  // namespace kestrum
