#pragma once

#include <QtGlobal>

// The calling thread's last error, set by the platform calls that set Windows' last error.
namespace platform {

quint32 lastError();
void setLastError(quint32 code);

} // namespace platform
