// The window's chart conversion: converting, cancelling, printing.
#include "form1.h"

namespace trameda {

void Form1::preparePattern() {}

} // namespace trameda
