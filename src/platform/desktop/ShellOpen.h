#pragma once

#include <QString>
#include <functional>

namespace platform {

// The shell's "Open" verb: a program file is started as a new process, anything else
// (documents, addresses, "mailto:") goes to the desktop's opener. Returns as ShellExecute does:
// a value above 32 when the target was handed on, otherwise the failure (SE_ERR_NOASSOC when the
// desktop has no program for it; ShellExecute.h). Saying so is the caller's.
int shellOpen(const QString &target);

// An executable ELF file. An execute bit alone is not enough: portable installs on FAT
// media mark every document executable, and a script could come from a foreign prefix.
bool isProgramFile(const QString &path);

// Replaces what shellOpen does (tests record the targets instead of opening them); false stands
// for a desktop that has no program for the target.
using ShellOpenHandler = std::function<bool(const QString &target)>;
void setShellOpenHandler(ShellOpenHandler handler);

} // namespace platform
