#pragma once

#include <QString>
#include <stdexcept>

namespace trameda {

// A failing toolkit operation. It ends the handler that raised it; the window reports it to the
// user and keeps whatever the handler had already changed.
class RuntimeError : public std::runtime_error {
public:
    enum Code {
        InvalidCall = 5,
        Overflow = 6,
        OutOfMemory = 7,
        SubscriptOutOfRange = 9,
        DivisionByZero = 11,
        FileNotFound = 53,
        PermissionDenied = 70,
        FileAccess = 75,
        PathNotFound = 76,
        InvalidProperty = 380,
        InvalidPicture = 481,
        PrinterError = 482,
        Internal = 51,
    };

    RuntimeError(int code, const QString& detail = {});

    int code() const { return m_code; }
    // What the raiser added to the standard description (the file and why), empty when nothing.
    QString detail() const { return m_detail; }
    // The standard Italian description of the code, followed by the detail when there is one.
    QString description() const { return m_description; }
    // The text shown to the user: "Errore di run-time '380':" and the description.
    QString message() const;

private:
    int m_code;
    QString m_detail;
    QString m_description;
};

QString standardDescription(int code);

} // namespace trameda
