#include "runtime/Component.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Logs its own destruction and the removal notices it receives.
class Probe : public TComponent {
 public:
  Probe(TComponent* owner, std::string name, std::vector<std::string>& log) : TComponent(owner), log_(log) {
    SetName(std::move(name));
  }
  ~Probe() override { log_.push_back("destroy " + Name()); }
  void Notification(TComponent* AComponent, TOperation Operation) override {
    if (Operation == opRemove) log_.push_back(Name() + " told of removal of " + AComponent->Name());
    TComponent::Notification(AComponent, Operation);
  }

 private:
  std::vector<std::string>& log_;
};

TEST(ComponentTest, OwnerFreesOwnedComponentsLastCreatedFirst) {
  std::vector<std::string> log;
  auto* owner = new Probe(nullptr, "owner", log);
  new Probe(owner, "a", log);
  new Probe(owner, "b", log);
  ASSERT_EQ(owner->ComponentCount(), 2);
  delete owner;
  EXPECT_EQ(log, (std::vector<std::string>{"destroy owner", "destroy b", "destroy a"}));
}

TEST(ComponentTest, FreeingAnOwnedComponentTakesItOutOfItsOwnerAndTellsTheSiblings) {
  std::vector<std::string> log;
  Probe owner(nullptr, "owner", log);
  auto* a = new Probe(&owner, "a", log);
  new Probe(&owner, "b", log);
  delete a;
  EXPECT_EQ(owner.ComponentCount(), 1);
  EXPECT_EQ(owner.Components(0)->Name(), "b");
  EXPECT_NE(std::find(log.begin(), log.end(), "b told of removal of a"), log.end());
  EXPECT_NE(std::find(log.begin(), log.end(), "owner told of removal of a"), log.end());
}

TEST(ComponentTest, FreeNotificationReachesTheWatcherOnceAndIsForgottenBothWays) {
  std::vector<std::string> log;
  auto* watched = new Probe(nullptr, "watched", log);
  auto* watcher = new Probe(nullptr, "watcher", log);
  watched->FreeNotification(watcher);
  watched->FreeNotification(watcher);  // asked twice, told once
  delete watched;
  EXPECT_EQ(std::count(log.begin(), log.end(), "watcher told of removal of watched"), 1);
  delete watcher;

  // A watcher that goes first must not be told anything later.
  log.clear();
  watched = new Probe(nullptr, "watched", log);
  watcher = new Probe(nullptr, "watcher", log);
  watched->FreeNotification(watcher);
  delete watcher;
  delete watched;  // would touch the freed watcher if the link were kept
  EXPECT_EQ(log, (std::vector<std::string>{"destroy watcher", "watched told of removal of watcher", "destroy watched"}));
}

TEST(ComponentTest, LoadingStateEndsWithLoadedAndDesigningReachesOwnedComponents) {
  std::vector<std::string> log;
  Probe owner(nullptr, "owner", log);
  auto* child = new Probe(&owner, "child", log);
  owner.Loading();
  EXPECT_TRUE(owner.ComponentState().Contains(csLoading));
  owner.Loaded();
  EXPECT_FALSE(owner.ComponentState().Contains(csLoading));
  owner.SetDesigning(true);
  EXPECT_TRUE(child->ComponentState().Contains(csDesigning));
  owner.SetDesigning(false);
  EXPECT_FALSE(child->ComponentState().Contains(csDesigning));
  EXPECT_TRUE(owner.ComponentStyle().Contains(csInheritable));
}

}  // namespace
