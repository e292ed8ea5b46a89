// What every fake of the simulated world shares: one virtual clock, and one
// log of the calls made, which also carries the plan of the calls that are
// to fail.
//
//   world.calls.Fail("CM_Get_Parent", kCrNoSuchDevNode);   // the next one fails
//   EXPECT_FALSE(core::IsRemovableHardwareDrive(os, 5));
//   EXPECT_EQ(world.calls.Count("CM_Request_Device_EjectW"), 0u);
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <map>
#include <optional>
#include <set>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace ejectra::platform::sim {

// A mistake in the world a test set up that no answer of Windows stands for
// (a wait that could never end): says so on standard error and aborts the
// test program, so that the test that caused it fails.
[[noreturn]] void SimFault(std::string_view message);

// Time that passes only when a fake waits or sleeps; never for real.
class SimClock {
 public:
  std::uint64_t Now() const { return now_; }
  // Runs `action` when the clock reaches `milliseconds`.
  void At(std::uint64_t milliseconds, std::function<void()> action);
  // Moves time on by `milliseconds`, running on the way what falls due.
  void Advance(std::uint64_t milliseconds);
  // Moves time on to the next action due no later than `deadline` and runs
  // it; false when there is none.
  bool RunNext(std::uint64_t deadline);

 private:
  std::uint64_t now_ = 0;
  std::multimap<std::uint64_t, std::function<void()>> scheduled_;
};

// One call as the log keeps it: the platform call's name and what it was
// about ("CM_Request_Device_EjectW", "USB\VID_0781&PID_5567\4C53...").
struct SimCall {
  std::string name;
  std::string detail;
  friend bool operator==(const SimCall&, const SimCall&) = default;
};
std::ostream& operator<<(std::ostream& out, const SimCall& call);

// A plan (Fail, Throw, On) is taken only for a call that some fake of the
// world makes: each fake makes its calls known with Know when it is made,
// the platform's fakes and a test's own alike. A plan for any other name, a
// misspelt one or one of a fake the world does not have, is refused at once
// with std::invalid_argument rather than waiting for a call that never comes.
class SimCalls {
 public:
  void Know(std::initializer_list<std::string_view> names);
  bool Knows(std::string_view name) const { return known_.contains(name); }

  // Logs the call. Answers the code planned for it, if it is to fail (a
  // CONFIGRET, LSTATUS, HRESULT or last error, as the call reports), or
  // throws std::bad_alloc when it is to throw.
  std::optional<std::uint32_t> Enter(std::string_view name, std::string detail = {});

  // The (skip + 1)-th next call of `name` and the `times - 1` after it fail
  // with `code`.
  void Fail(std::string_view name, std::uint32_t code, std::uint32_t skip = 0,
            std::uint32_t times = 1);
  // The (skip + 1)-th next call of `name` throws std::bad_alloc, as a
  // wrapper that ran out of memory would.
  void Throw(std::string_view name, std::uint32_t skip = 0);
  // Runs `action` when the (skip + 1)-th next call of `name` is entered,
  // before it takes effect: what another thread does at that moment.
  void On(std::string_view name, std::uint32_t skip, std::function<void()> action);
  // The calls planned to fail or throw that have not come yet.
  std::vector<std::string> Pending() const;

  std::size_t Count(std::string_view name) const;
  // The details of the calls of `name`, in order.
  std::vector<std::string> Details(std::string_view name) const;
  // The names of the logged calls that are among `names`, in order.
  std::vector<std::string> Sequence(std::initializer_list<std::string_view> names) const;
  const std::vector<SimCall>& Log() const { return log_; }
  // Forgets the log and the counts; what is planned stays planned.
  void Clear();
  // Off for long runs such as benchmarks: only the counts are kept.
  void KeepLog(bool keep) { keepLog_ = keep; }

 private:
  struct Plan {
    std::uint32_t skip = 0;
    std::uint32_t times = 0;
    std::uint32_t code = 0;
    bool throws = false;
  };

  void Check(std::string_view name) const;

  std::set<std::string, std::less<>> known_;
  std::vector<SimCall> log_;
  std::map<std::string, std::size_t, std::less<>> counts_;
  std::map<std::string, Plan, std::less<>> plans_;
  std::multimap<std::string, std::pair<std::uint32_t, std::function<void()>>, std::less<>> actions_;
  bool keepLog_ = true;
};

}  // namespace ejectra::platform::sim
