#pragma once

// The one shape of "this can fail": either the value, or the problem the user must read. A
// problem is a whole message from the catalogue (what happened, which file, why, what to do), so
// whoever receives it can show it as it stands and never has to find out again why.

#include <cassert>
#include <utility>
#include <variant>

#include "base/message.h"

namespace rendlow {

struct Problem {
  Message message;
};

template <class T>
class [[nodiscard]] Result {
public:
  Result(T value) : state_(std::in_place_index<0>, std::move(value)) {}
  Result(Problem problem) : state_(std::in_place_index<1>, std::move(problem)) {}

  bool ok() const { return state_.index() == 0; }
  explicit operator bool() const { return ok(); }

  T& value() & {
    assert(ok());
    return std::get<0>(state_);
  }
  const T& value() const& {
    assert(ok());
    return std::get<0>(state_);
  }
  T&& value() && {
    assert(ok());
    return std::get<0>(std::move(state_));
  }
  T* operator->() { return &value(); }
  const T* operator->() const { return &value(); }
  T& operator*() & { return value(); }
  const T& operator*() const& { return value(); }

  const Problem& problem() const {
    assert(!ok());
    return std::get<1>(state_);
  }

private:
  std::variant<T, Problem> state_;
};

// Success without a value: the default is success.
template <>
class [[nodiscard]] Result<void> {
public:
  Result() = default;
  Result(Problem problem) : problem_(std::move(problem)), failed_(true) {}

  bool ok() const { return !failed_; }
  explicit operator bool() const { return ok(); }
  const Problem& problem() const {
    assert(failed_);
    return problem_;
  }

private:
  Problem problem_;
  bool failed_ = false;
};

}  // namespace rendlow
