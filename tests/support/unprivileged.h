#pragma once

#include <functional>

namespace korvant::testing {

// Runs `body` in a child process that has dropped root's rights (as "nobody"), so that read-only
// folders refuse writes even on machines where the tests run as root. Returns the body's result,
// or -1 when the child could not be run. Without root the body runs in a child unchanged.
int RunUnprivileged(const std::function<int()>& body);

}  // namespace korvant::testing
