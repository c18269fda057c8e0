#pragma once

namespace os {

// Milliseconds from a fixed moment of this run; never goes backwards, never
// wraps (the elapsed-time arithmetic of callers needs no 49-day care).
long long TickCount();

}  // namespace os
