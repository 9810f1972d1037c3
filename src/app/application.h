#pragma once

namespace trameda {

// Settings every run of the program shares, window or not: names, version, icon and the font
// substitutions that give the window's fonts a face on this desktop. Call after the
// application object exists.
void prepareApplication();

} // namespace trameda
