#include <gtest/gtest.h>

#include <type_traits>

#include "platform/owners.h"
#include "platform/sim/sim_synchronization.h"

namespace ejectra::platform {
namespace {

class UniqueOwnerTest : public ::testing::Test {
 protected:
  Handle Event() { return sync.CreateEventW(false, false, nullptr); }
  std::size_t Closes() const { return world.calls.Count("CloseHandle"); }

  sim::SimWorld world;
  sim::SimSynchronization sync{world};
};

TEST_F(UniqueOwnerTest, Close_KeepsTheLastErrorItFound) {
  {
    const UniqueHandle event(world.kernel, Event());
    world.calls.Fail("CloseHandle", kErrorInvalidHandle);  // a close that fails and says why
    world.kernel.SetLastError(kErrorMoreData);              // the error a caller is about to read
  }
  EXPECT_EQ(Closes(), 1u);
  EXPECT_EQ(world.kernel.GetLastError(), kErrorMoreData);
}

TEST_F(UniqueOwnerTest, Put_ClosesWhatIsOwnedFirst) {
  UniqueHandle event(world.kernel, Event());
  *event.put() = Event();
  EXPECT_EQ(Closes(), 1u);
  EXPECT_EQ(sync.OpenHandles(), 1u);
  event.reset();
  EXPECT_EQ(sync.OpenHandles(), 0u);
  event.reset();  // owning nothing, closes nothing
  EXPECT_EQ(Closes(), 2u);
}

TEST_F(UniqueOwnerTest, Move_HandsOverWithoutClosingAndClosesOnce) {
  UniqueHandle first(world.kernel, Event());
  UniqueHandle second(std::move(first));
  EXPECT_FALSE(first);
  EXPECT_TRUE(second);
  UniqueHandle third(world.kernel, Event());
  third = std::move(second);  // third's own event is closed, the moved one kept
  EXPECT_EQ(Closes(), 1u);
  EXPECT_EQ(sync.OpenHandles(), 1u);
  const Handle kept = third.release();
  EXPECT_FALSE(third);
  EXPECT_TRUE(world.kernel.CloseHandle(kept));
  EXPECT_EQ(Closes(), 2u);
}

// Each owner closes through the seam it was given: a value moved in from an
// owner of another seam (another world here) takes that seam along, and the
// value it replaces is closed through the old one.
TEST(UniqueOwner, MoveBetweenSeams_ClosesEachValueThroughItsOwnSeam) {
  sim::SimWorld worldA, worldB;
  sim::SimSynchronization syncA{worldA}, syncB{worldB};
  UniqueHandle a(worldA.kernel, syncA.CreateEventW(false, false, nullptr));
  UniqueHandle b(worldB.kernel, syncB.CreateEventW(false, false, nullptr));
  a = std::move(b);
  EXPECT_EQ(worldA.calls.Count("CloseHandle"), 1u);
  EXPECT_EQ(worldB.calls.Count("CloseHandle"), 0u);
  EXPECT_EQ(syncA.OpenHandles(), 0u);
  a.reset();
  EXPECT_EQ(worldA.calls.Count("CloseHandle"), 1u);
  EXPECT_EQ(syncB.OpenHandles(), 0u);
}

// An owner keeps a pointer to its seam: a bundle returned by value would be
// gone before the owner closes through it.
TEST(UniqueOwner, Construct_TemporarySeam_DoesNotCompile) {
  static_assert(!std::is_constructible_v<UniqueDevInfoSet, CoreServices&&, DevInfoHandle>);
  static_assert(!std::is_constructible_v<UniqueDevInfoSet, const CoreServices&&>);
  static_assert(!std::is_constructible_v<UniqueModule, ProcessServices&&, ModuleHandle>);
  static_assert(std::is_constructible_v<UniqueDevInfoSet, const CoreServices&, DevInfoHandle>);
  static_assert(std::is_constructible_v<UniqueModule, ProcessServices&>);
  static_assert(std::is_constructible_v<UniqueHandle, KernelBase&, Handle>);
}

class Counted final : public IUnknownMirror {
 public:
  explicit Counted(int& releases) : releases_(releases) {}
  Hresult EJECTRA_STDMETHOD QueryInterface(const Guid&, void**) override { return kENoInterface; }
  std::uint32_t EJECTRA_STDMETHOD AddRef() override { return 2; }
  std::uint32_t EJECTRA_STDMETHOD Release() override { return static_cast<std::uint32_t>(++releases_); }

 private:
  int& releases_;
};

TEST(ComPtr, ReleasesOnceWhenItGoesAndBeforeItIsFilledAgain) {
  int releases = 0;
  Counted a(releases), b(releases);
  {
    ComPtr<Counted> pointer(&a);
    *pointer.put() = &b;  // a released here
    EXPECT_EQ(releases, 1);
    ComPtr<Counted> moved(std::move(pointer));
    EXPECT_FALSE(pointer);
    EXPECT_EQ(moved.get(), &b);
  }
  EXPECT_EQ(releases, 2);
}

TEST(ComPtr, MoveAssignment_ReleasesWhatItHeldAndTakesTheOther) {
  int releasesA = 0, releasesB = 0;
  Counted a(releasesA), b(releasesB);
  {
    ComPtr<Counted> first(&a);
    ComPtr<Counted> second(&b);
    first = std::move(second);
    EXPECT_EQ(releasesA, 1);
    EXPECT_EQ(releasesB, 0);
    EXPECT_FALSE(second);
    EXPECT_EQ(first.get(), &b);
  }
  EXPECT_EQ(releasesA, 1);
  EXPECT_EQ(releasesB, 1);
}

}  // namespace
}  // namespace ejectra::platform
