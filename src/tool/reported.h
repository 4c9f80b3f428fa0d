// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A step of a tool command: its value, or the exit code of a failure that
// was already reported on stderr, so the command only has to return it.

#include <utility>
#include <variant>

namespace kestrum::tool {

template <typename T>
class [[nodiscard]] Reported {
 public:
  Reported(T value) : state_(std::move(value)) {}
  static Reported Exit(int code) { return Reported(code); }

  explicit operator bool() const { return state_.index() == 0; }
  const T& operator*() const { return std::get<0>(state_); }
  const T* operator->() const { return &std::get<0>(state_); }
  // Only on failure.
  int ExitCode() const { return std::get<1>(state_); }

 private:
  explicit Reported(int code) : state_(std::in_place_index<1>, code) {}
  std::variant<T, int> state_;
};

}  // namespace kestrum::tool
