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

struct Failure {
  std::string message;
};

inline Failure Fail(std::string message) {
  return Failure{std::move(message)};
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
