#pragma once

#include <QObject>
#include <QString>

#include <memory>

class TProfile;

// Remembers the catalogue file that was open last ("FileList"/"AutoLoad" of the settings file),
// so the next start reopens it.
class TAutoFile : public QObject {
  Q_OBJECT

 public:
  explicit TAutoFile(QObject* owner = nullptr);
  ~TAutoFile() override;

  const QString& IniFileName() const { return iniFileName_; }
  // Opens the settings file of that name, replacing any previous one.
  void SetIniFileName(const QString& name);

  // The full path of the last catalogue, or empty when there is none (also while no settings
  // file is named).
  QString GetLastFile() const;
  // An empty name clears the entry. Raises the settings file's write error; does nothing while
  // no settings file is named.
  void SetLastFile(const QString& fileName);

 private:
  QString iniFileName_;
  std::unique_ptr<TProfile> profile_;
};
