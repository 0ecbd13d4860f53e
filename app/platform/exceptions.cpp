#include "platform/exceptions.h"

Exception::Exception(const QString& message)
    : std::runtime_error(message.toStdString()), message_(message) {}
