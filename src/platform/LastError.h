#pragma once

#include <QtGlobal>

// The calling thread's last error, set by the platform calls that set Windows' last error.
namespace platform {

quint32 lastError();
void setLastError(quint32 code);

namespace error {
constexpr quint32 Success = 0;
constexpr quint32 FileNotFound = 2;
constexpr quint32 AccessDenied = 5;
constexpr quint32 InvalidParameter = 87;
constexpr quint32 InsufficientBuffer = 122;
constexpr quint32 NoMoreItems = 259;
} // namespace error

} // namespace platform
