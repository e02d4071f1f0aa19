#pragma once

#include <QString>

namespace corvane::options {

// A message of the catalogue in the current language, as stored.
QString Message(int number);
// The same in upper case ("OK" from message 33).
QString UpperMessage(int number);

}  // namespace corvane::options
