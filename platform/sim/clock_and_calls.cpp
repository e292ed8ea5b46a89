#include "platform/sim/clock_and_calls.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <new>
#include <stdexcept>

namespace ejectra::platform::sim {

void SimFault(std::string_view message) {
  std::fprintf(stderr, "simulated world: %.*s\n", static_cast<int>(message.size()), message.data());
  std::fflush(stderr);
  std::abort();
}

void SimClock::At(std::uint64_t milliseconds, std::function<void()> action) {
  scheduled_.emplace(milliseconds, std::move(action));
}

bool SimClock::RunNext(std::uint64_t deadline) {
  if (scheduled_.empty() || scheduled_.begin()->first > deadline) return false;
  now_ = std::max(now_, scheduled_.begin()->first);
  auto action = std::move(scheduled_.begin()->second);
  scheduled_.erase(scheduled_.begin());
  action();
  return true;
}

void SimClock::Advance(std::uint64_t milliseconds) {
  const std::uint64_t end = now_ + milliseconds;
  while (RunNext(end)) {
  }
  now_ = end;
}

std::ostream& operator<<(std::ostream& out, const SimCall& call) {
  out << call.name;
  if (!call.detail.empty()) out << '(' << call.detail << ')';
  return out;
}

std::optional<std::uint32_t> SimCalls::Enter(std::string_view name, std::string detail) {
  if (const auto counted = counts_.find(name); counted != counts_.end()) {
    ++counted->second;
  } else {
    counts_.emplace(std::string(name), 1);
  }
  if (keepLog_) log_.push_back(SimCall{std::string(name), std::move(detail)});
  for (auto [it, end] = actions_.equal_range(name); it != end;) {
    if (it->second.first-- > 0) {
      ++it;
      continue;
    }
    auto action = std::move(it->second.second);
    it = actions_.erase(it);
    action();
  }
  const auto planned = plans_.find(name);
  if (planned == plans_.end()) return std::nullopt;
  Plan& plan = planned->second;
  if (plan.skip > 0) {
    --plan.skip;
    return std::nullopt;
  }
  const Plan fired = plan;
  if (--plan.times == 0) plans_.erase(planned);
  if (fired.throws) throw std::bad_alloc();
  return fired.code;
}

void SimCalls::Know(std::initializer_list<std::string_view> names) {
  known_.insert(names.begin(), names.end());
}

void SimCalls::Check(std::string_view name) const {
  if (!Knows(name)) {
    throw std::invalid_argument("no simulated call is named \"" + std::string(name) + '"');
  }
}

void SimCalls::Fail(std::string_view name, std::uint32_t code, std::uint32_t skip,
                    std::uint32_t times) {
  Check(name);
  if (times == 0) return;
  plans_.insert_or_assign(std::string(name), Plan{skip, times, code, false});
}

void SimCalls::On(std::string_view name, std::uint32_t skip, std::function<void()> action) {
  Check(name);
  actions_.emplace(std::string(name), std::make_pair(skip, std::move(action)));
}

void SimCalls::Throw(std::string_view name, std::uint32_t skip) {
  Check(name);
  plans_.insert_or_assign(std::string(name), Plan{skip, 1, 0, true});
}

std::vector<std::string> SimCalls::Pending() const {
  std::vector<std::string> names;
  for (const auto& [name, plan] : plans_) names.push_back(name);
  return names;
}

std::size_t SimCalls::Count(std::string_view name) const {
  const auto it = counts_.find(name);
  return it == counts_.end() ? 0 : it->second;
}

std::vector<std::string> SimCalls::Details(std::string_view name) const {
  std::vector<std::string> details;
  for (const SimCall& call : log_) {
    if (call.name == name) details.push_back(call.detail);
  }
  return details;
}

std::vector<std::string> SimCalls::Sequence(std::initializer_list<std::string_view> names) const {
  std::vector<std::string> sequence;
  for (const SimCall& call : log_) {
    if (std::find(names.begin(), names.end(), call.name) != names.end()) sequence.push_back(call.name);
  }
  return sequence;
}

void SimCalls::Clear() {
  log_.clear();
  counts_.clear();
}

}  // namespace ejectra::platform::sim
