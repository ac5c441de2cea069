#pragma once

// Makes the program's clickable labels and logos known to assistive technology as links and
// buttons with a press action, named by their caption or accessible name. Installs once.
void installClickableAccessibility();
