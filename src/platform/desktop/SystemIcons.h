#pragma once

#include <QIcon>

namespace win {
struct SystemImageList;
}

// The pictures of the system image list, drawn from the desktop's icon theme by kind of item,
// with the style's own icons where the theme has none.
namespace SystemIcons {

// The small icon at `index`; a null icon for an index the list does not hold.
QIcon icon(const win::SystemImageList *list, int index);

} // namespace SystemIcons
