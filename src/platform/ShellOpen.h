#pragma once

#include <QString>
#include <functional>

namespace platform {

// The shell's "Open" verb: an executable file is started as a new process, anything else
// (documents, addresses, "mailto:") goes to the desktop's opener. Returns false on failure.
bool shellOpen(const QString &target);

// Replaces what shellOpen does (tests record the targets instead of opening them).
using ShellOpenHandler = std::function<bool(const QString &target)>;
void setShellOpenHandler(ShellOpenHandler handler);

} // namespace platform
