#pragma once

#include <QString>

class QWidget;

namespace trameda {
class Dialogs;
}

namespace trameda::Modulesfoglia {

// Lets the user choose a folder in the system's folder chooser, which shows `prompt` and starts
// at the top of the folder tree. The chosen folder's full path, or an empty string on cancel.
QString sceglicartella(Dialogs& dialogs, QWidget* owner, const QString& prompt);

} // namespace trameda::Modulesfoglia
