#pragma once

namespace trameda {

// Settings every run of the program shares, window or not: names, version, icon and the font
// substitutions that give the window's fonts a face on this desktop. Call after the
// application object exists.
void prepareApplication();

// The window keeps no settings, and neither may Qt's own dialogs on its behalf (the folder
// dialog remembers its last folder in the user's configuration). Call before any dialog opens.
void keepNoSettings();

} // namespace trameda
