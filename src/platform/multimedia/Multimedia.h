#pragma once

#include <QString>
#include <functional>

namespace platform {

// The multimedia command interface. Only "play FILE" is understood: FILE is resolved against
// the current directory at the moment of the call and played asynchronously.
// Returns 0 when the command was accepted.
int mciSendString(const QString &command);

// Plays a WAV file asynchronously; installed by the GUI, replaced by tests.
using SoundPlayer = std::function<void(const QString &absolutePath)>;
void setSoundPlayer(SoundPlayer player);

// Every command string sent, for observers (tests); empty by default.
using MciObserver = std::function<void(const QString &command)>;
void setMciObserver(MciObserver observer);

} // namespace platform
