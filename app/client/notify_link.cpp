#include "client/notify_link.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "client/database.h"

namespace {

// The change-link registry: all live links in order of construction; absent while no
// link exists.
std::unique_ptr<std::vector<TNotifyLink*>> gLinks;

}  // namespace

TNotifyLink::TNotifyLink(QObject* owner) : QObject(owner) {
  if (!gLinks) gLinks = std::make_unique<std::vector<TNotifyLink*>>();
  gLinks->push_back(this);
}

TNotifyLink::~TNotifyLink() {
  if (!gLinks) return;
  gLinks->erase(std::remove(gLinks->begin(), gLinks->end(), this), gLinks->end());
  if (gLinks->empty()) gLinks.reset();
}

void TNotifyLink::SetDataSource(TReelsmithDB* dataSource) {
  dataSource_ = dataSource;
  dataSourceName_ = dataSource ? dataSource->objectName() : QString();
}

void TNotifyLink::Broadcast(TReelsmithDB* sender, const TReelsmithDBEventInfo& info) {
  if (!gLinks || !sender) return;
  // Handlers may construct or destroy links. The links to call are fixed now, and each
  // is watched so that one destroyed meanwhile is skipped rather than called.
  std::vector<QPointer<TNotifyLink>> links(gLinks->begin(), gLinks->end());
  const QString name = sender->objectName();
  for (const QPointer<TNotifyLink>& link : links) {
    if (!link || link->dataSourceName_ != name || !link->OnNotify) continue;
    // A copy, so that a handler may replace or clear its own OnNotify while it runs.
    const TNotifyEvent handler = link->OnNotify;
    handler(sender, info);
  }
}

bool TNotifyLink::RegistryExists() { return gLinks != nullptr; }

int TNotifyLink::LinkCount() { return gLinks ? static_cast<int>(gLinks->size()) : 0; }
