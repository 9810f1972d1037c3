#include "patternstart.h"

namespace trameda {

void showPatternDialog(QWidget*, Dialogs&, const PatternStart&) {}

} // namespace trameda
