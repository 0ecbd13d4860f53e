#pragma once

#include <QString>
#include <QStringList>

#include <vector>

// The pages of the program's help, in contents order, with their titles and words, and the
// search over them.
class THelpIndex {
 public:
  // Reads every page from the resources.
  THelpIndex();

  struct TPage {
    QString file;       // file name under :/help, such as "albums.html"
    QString title;      // the page's title
    QStringList words;  // case-folded, sorted, without repeats
  };

  const std::vector<TPage>& Pages() const { return pages_; }
  // The file names of the pages that contain every word of `key`, in contents order; a word of
  // the key matches a word of the page that starts with it, regardless of case. An empty key
  // lists every page.
  QStringList Find(const QString& key) const;

  // The case-folded words of a text: runs of letters, digits and underscores
  // (so that names such as REELSMITH_CD stay one word).
  static QStringList WordsOf(const QString& text);

 private:
  std::vector<TPage> pages_;
};
