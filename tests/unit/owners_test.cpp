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

}  // namespace
}  // namespace ejectra::platform
