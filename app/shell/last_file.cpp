#include "shell/last_file.h"

#include "platform/profile.h"

namespace {
const QString kSection = QStringLiteral("FileList");
const QString kKey = QStringLiteral("AutoLoad");
}  // namespace

TAutoFile::TAutoFile(QObject* owner) : QObject(owner) {}

TAutoFile::~TAutoFile() = default;

void TAutoFile::SetIniFileName(const QString& name) {
  iniFileName_ = name;
  profile_ = name.isEmpty() ? nullptr : std::make_unique<TProfile>(name);
}

QString TAutoFile::GetLastFile() const {
  return profile_ ? profile_->ReadString(kSection, kKey, QString()) : QString();
}

void TAutoFile::SetLastFile(const QString& fileName) {
  // Nothing to store means nothing written: a start without a last file never needs a
  // writable settings file.
  if (profile_ && profile_->ReadString(kSection, kKey, QString()) != fileName)
    profile_->WriteString(kSection, kKey, fileName);
}
