#include "shell/help_index.h"

#include <QFile>
#include <QTextDocument>

#include <algorithm>

// Resources of a static library must be registered by name before use.
static void InitHelpResources() { Q_INIT_RESOURCE(help); }

namespace {

// The contents order; the contents page comes first.
constexpr const char* kPageFiles[] = {
    "index.html",        "catalogue.html", "files.html",    "browsing.html", "albums.html",
    "album_fields.html", "cd.html",        "cassette.html", "insert.html",   "listings.html",
    "music_files.html",  "merge.html",     "export.html",   "keys.html",     "about.html",
};

}  // namespace

THelpIndex::THelpIndex() {
  InitHelpResources();
  for (const char* file : kPageFiles) {
    QFile source(QStringLiteral(":/help/") + file);
    if (!source.open(QIODevice::ReadOnly)) continue;
    QTextDocument document;
    document.setHtml(QString::fromUtf8(source.readAll()));
    TPage page;
    page.file = file;
    page.title = document.metaInformation(QTextDocument::DocumentTitle);
    page.words = WordsOf(document.toPlainText());
    page.words.sort();
    page.words.removeDuplicates();
    pages_.push_back(std::move(page));
  }
}

QStringList THelpIndex::WordsOf(const QString& text) {
  QStringList words;
  QString word;
  for (const QChar c : text) {
    if (c.isLetterOrNumber() || c == u'_') {
      word += c;
    } else if (!word.isEmpty()) {
      words << word.toCaseFolded();
      word.clear();
    }
  }
  if (!word.isEmpty()) words << word.toCaseFolded();
  return words;
}

QStringList THelpIndex::Find(const QString& key) const {
  const QStringList keyWords = WordsOf(key);
  QStringList found;
  for (const auto& page : pages_) {
    const bool all = std::all_of(keyWords.begin(), keyWords.end(), [&](const QString& k) {
      // The words are sorted, so the first word not less than k is the only candidate to
      // start with it.
      const auto at = std::lower_bound(page.words.begin(), page.words.end(), k);
      return at != page.words.end() && at->startsWith(k);
    });
    if (all) found << page.file;
  }
  return found;
}
