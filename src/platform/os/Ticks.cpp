#include "platform/os/Ticks.h"

#include <chrono>

namespace os {

long long TickCount()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace os
