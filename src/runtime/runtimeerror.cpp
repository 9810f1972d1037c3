#include "runtimeerror.h"

namespace trameda {

QString standardDescription(int code) {
    switch (code) {
    case RuntimeError::InvalidCall:
        return QStringLiteral("Chiamata di routine o argomento non validi");
    case RuntimeError::Overflow:
        return QStringLiteral("Overflow");
    case RuntimeError::OutOfMemory:
        return QStringLiteral("Memoria esaurita");
    case RuntimeError::Internal:
        return QStringLiteral("Errore interno");
    case RuntimeError::SubscriptOutOfRange:
        return QStringLiteral("Indice non incluso nell'intervallo");
    case RuntimeError::DivisionByZero:
        return QStringLiteral("Divisione per zero");
    case RuntimeError::FileNotFound:
        return QStringLiteral("File non trovato");
    case RuntimeError::PermissionDenied:
        return QStringLiteral("Permesso negato");
    case RuntimeError::FileAccess:
        return QStringLiteral("Errore di accesso al percorso/file");
    case RuntimeError::PathNotFound:
        return QStringLiteral("Impossibile trovare il percorso");
    case RuntimeError::InvalidProperty:
        return QStringLiteral("Valore della proprietà non valido");
    case RuntimeError::InvalidPicture:
        return QStringLiteral("Immagine non valida");
    case RuntimeError::PrinterError:
        return QStringLiteral("Errore della stampante");
    default:
        return QStringLiteral("Errore definito dall'applicazione o dall'oggetto");
    }
}

static QString describe(int code, const QString& detail) {
    QString text = standardDescription(code);
    if (!detail.isEmpty())
        text += QStringLiteral(": ") + detail;
    return text;
}

RuntimeError::RuntimeError(int code, const QString& detail)
    : std::runtime_error(describe(code, detail).toStdString()), m_code(code), m_detail(detail),
      m_description(describe(code, detail)) {}

QString RuntimeError::message() const {
    return QStringLiteral("Errore di run-time '%1':\n\n%2").arg(m_code).arg(m_description);
}

} // namespace trameda
