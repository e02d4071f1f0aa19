#pragma once

namespace corvane {

class User;

// Starts each program assigned to the loaded user, in record order, that the
// program rule allows and whose file exists: the path alone as the argument
// list, no working folder, no wait. Refused, missing and failing programs
// are skipped; nothing is reported.
void RunUserPrograms(const User& user);

}  // namespace corvane
