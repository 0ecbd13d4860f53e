#pragma once
// TNotifyLink: a control's subscription to the change events of a database component.
// Every link is kept in one process-wide registry in order of construction; the
// registry exists from the first link's construction to the last link's destruction.
#include <functional>

#include <QObject>
#include <QPointer>
#include <QString>

class TReelsmithDB;
class TReelsmithDBEventInfo;

class TNotifyLink : public QObject {
  Q_OBJECT

 public:
  // The event object is valid only during the call.
  using TNotifyEvent = std::function<void(TReelsmithDB* sender, const TReelsmithDBEventInfo& info)>;

  explicit TNotifyLink(QObject* owner = nullptr);
  ~TNotifyLink() override;

  TReelsmithDB* DataSource() const { return dataSource_; }
  // Stores the component and copies its name now: links match senders by that name.
  void SetDataSource(TReelsmithDB* dataSource);
  const QString& DataSourceName() const { return dataSourceName_; }

  // Called for each event delivered to this link; may be empty.
  TNotifyEvent OnNotify;

  // Calls OnNotify of every registered link whose DataSourceName equals the sender's
  // component name, in registration order. Links constructed during the broadcast are
  // not called by it; links destroyed during it are skipped.
  static void Broadcast(TReelsmithDB* sender, const TReelsmithDBEventInfo& info);

  static bool RegistryExists();
  static int LinkCount();

 private:
  QPointer<TReelsmithDB> dataSource_;
  QString dataSourceName_;
};
