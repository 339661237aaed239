// The rule at every C interface the host calls: no exception crosses it.
// Each binding's callbacks run their work through CallFenced, which turns an
// exception into the callback's failure value (the result type's zero unless
// given), so the host never sees one unwind.
#pragma once

#include <utility>

template <typename Call>
auto CallFenced(Call&& call) noexcept -> decltype(call()) {
  try {
    return std::forward<Call>(call)();
  } catch (...) {
    return decltype(call())();
  }
}

template <typename Call, typename Result>
Result CallFenced(Call&& call, Result failure) noexcept {
  try {
    return std::forward<Call>(call)();
  } catch (...) {
    return failure;
  }
}
