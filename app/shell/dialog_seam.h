#pragma once

#include <functional>
#include <optional>
#include <utility>

// A seam for one kind of modal question (message box, file name, font, print set-up).
//
// The program asks through TDialogSeam<Request, Answer>::Ask. While a seam object of that kind
// exists, its handler answers instead of a person and no window is shown; otherwise Ask answers
// nullopt and the caller shows the real dialog. Seams nest: the newest one answers, and
// destroying it reinstates the one before. This is the one sanctioned piece of process-wide
// state besides the change links, and only tests install a seam.
//
// A new kind of dialog gets its seam by declaring a request struct (everything the dialog would
// show) and an answer type, and by asking TDialogSeam<ItsRequest, ItsAnswer>::Ask before
// showing the real dialog:
//
//   struct TFileDialogRequest { QString caption, filter, fileName; };
//   using TFileDialogSeam = TDialogSeam<TFileDialogRequest, QString>;  // empty = cancelled
//   ...
//   if (auto answer = TFileDialogSeam::Ask(request)) return *answer;
//   return QFileDialog::getOpenFileName(...);
template <typename Request, typename Answer>
class TDialogSeam {
 public:
  using Handler = std::function<Answer(const Request&)>;

  explicit TDialogSeam(Handler handler) : handler_(std::move(handler)), previous_(current_) {
    current_ = this;
  }
  ~TDialogSeam() { current_ = previous_; }
  TDialogSeam(const TDialogSeam&) = delete;
  TDialogSeam& operator=(const TDialogSeam&) = delete;

  static bool Installed() { return current_ != nullptr; }

  // The installed handler's answer, or nullopt when no seam is installed.
  static std::optional<Answer> Ask(const Request& request) {
    if (current_ == nullptr) return std::nullopt;
    return current_->handler_(request);
  }

 private:
  Handler handler_;
  TDialogSeam* previous_;
  static inline TDialogSeam* current_ = nullptr;
};
