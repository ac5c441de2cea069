#include "platform/kernel/LastError.h"

namespace platform {

namespace {
thread_local quint32 threadLastError = 0;
}

quint32 lastError()
{
    return threadLastError;
}

void setLastError(quint32 code)
{
    threadLastError = code;
}

} // namespace platform
