#include "client/notify_link.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "client_test_environment.h"
#include "client/database.h"

namespace {

class NotifyLinkTest : public ::testing::Test {
 protected:
  TReelsmithDB db{nullptr, StubLibrary("full")};
  std::vector<std::string> heard;

  std::unique_ptr<TNotifyLink> Listener(const std::string& name, TReelsmithDB* source) {
    auto link = std::make_unique<TNotifyLink>();
    link->SetDataSource(source);
    link->OnNotify = [this, name](TReelsmithDB*, const TReelsmithDBEventInfo& info) {
      heard.push_back(name + ":" + std::to_string(info.Event()));
    };
    return link;
  }
};

TEST_F(NotifyLinkTest, RegistryLivesFromTheFirstLinkToTheLast) {
  ASSERT_FALSE(TNotifyLink::RegistryExists());
  TNotifyLink::Broadcast(&db, TReelsmithDBEventInfo(dbeSaved));  // nobody to tell
  {
    auto a = Listener("a", &db);
    EXPECT_TRUE(TNotifyLink::RegistryExists());
    {
      auto b = Listener("b", &db);
      EXPECT_EQ(TNotifyLink::LinkCount(), 2);
    }
    EXPECT_TRUE(TNotifyLink::RegistryExists());
  }
  EXPECT_FALSE(TNotifyLink::RegistryExists());
  auto c = Listener("c", &db);
  EXPECT_EQ(TNotifyLink::LinkCount(), 1);
  db.Notify(dbeSaved);
  EXPECT_EQ(heard, (std::vector<std::string>{"c:3"}));
}

TEST_F(NotifyLinkTest, DeliversInRegistrationOrderToLinksNamingTheSender) {
  TReelsmithDB* const none = nullptr;
  auto a = Listener("a", &db);
  auto unset = Listener("unset", none);
  auto b = Listener("b", &db);
  auto silent = std::make_unique<TNotifyLink>();  // no handler: skipped
  silent->SetDataSource(&db);
  auto c = Listener("c", &db);
  db.Notify(dbeSortChanged);
  EXPECT_EQ(heard, (std::vector<std::string>{"a:10", "b:10", "c:10"}));
  EXPECT_EQ(b->DataSourceName(), "ReelsmithDB");
  EXPECT_EQ(unset->DataSourceName(), QString());
}

TEST_F(NotifyLinkTest, MatchesByTheNameCopiedWhenTheSourceWasSet) {
  auto a = Listener("a", &db);
  db.setObjectName("Renamed");
  db.Notify(dbeSaved);
  EXPECT_TRUE(heard.empty());
  a->SetDataSource(&db);  // copies the new name
  db.Notify(dbeSaved);
  EXPECT_EQ(heard, (std::vector<std::string>{"a:3"}));
}

TEST_F(NotifyLinkTest, HandlersMayAddAndDestroyLinksDuringABroadcast) {
  auto a = Listener("a", &db);
  std::unique_ptr<TNotifyLink> self = Listener("self", &db);
  auto b = Listener("b", &db);
  std::unique_ptr<TNotifyLink> added;
  self->OnNotify = [&](TReelsmithDB*, const TReelsmithDBEventInfo&) {
    heard.push_back("self");
    a.reset();     // an earlier link
    self.reset();  // its own link
    added = Listener("added", &db);
  };
  db.Notify(dbeSaved);
  // b still hears it; the link added during the broadcast does not.
  EXPECT_EQ(heard, (std::vector<std::string>{"a:3", "self", "b:3"}));
  heard.clear();
  db.Notify(dbeSaved);
  EXPECT_EQ(heard, (std::vector<std::string>{"b:3", "added:3"}));
}

TEST_F(NotifyLinkTest, ALinkOwnedByAnObjectDiesWithIt) {
  auto owner = std::make_unique<QObject>();
  auto* link = new TNotifyLink(owner.get());  // owned by its Qt parent
  link->SetDataSource(&db);
  EXPECT_EQ(TNotifyLink::LinkCount(), 1);
  owner.reset();
  EXPECT_FALSE(TNotifyLink::RegistryExists());
}

}  // namespace
