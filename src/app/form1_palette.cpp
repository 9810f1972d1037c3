// The window's palette: swatches and pickers, the automatic palette, palette files.
#include "form1.h"

namespace trameda {

void Form1::preparePalette() {}

} // namespace trameda
