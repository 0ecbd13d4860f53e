#pragma once

#include <QString>

#include <stdexcept>

// Failures in the program are exceptions carrying a message the user can read. The
// application's standard error report shows Message() in an error box and carries on.
class Exception : public std::runtime_error {
 public:
  explicit Exception(const QString& message);
  const QString& Message() const { return message_; }

 private:
  QString message_;
};

// A library or one of its exports could not be found.
class EMissingMethod : public Exception {
 public:
  using Exception::Exception;
};

// An object was not of the kind the caller needed.
class EInvalidCast : public Exception {
 public:
  using Exception::Exception;
};

// An index or value lay outside the range it must be in.
class ERangeError : public Exception {
 public:
  using Exception::Exception;
};
