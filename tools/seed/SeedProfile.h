#pragma once

// The demo's parts outside the URL cache: typed addresses, run-dialog entries, browser
// settings and favourites.
namespace seed {

void addDemoRegistryValues();
// False when the favourites folder is unknown or cannot be written.
bool addDemoFavorites();

} // namespace seed
