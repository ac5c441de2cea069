#pragma once

namespace platform {

// Installs the Qt Multimedia player behind mciSendString: one sound at a time, never waiting,
// silent where there is no audio device.
void installSoundEffectPlayer();

} // namespace platform
