#pragma once

#include <QString>
#include <functional>
#include <optional>

class QIODevice;

namespace trameda::document {

// Writes the file at `path` all or nothing: `write` fills a file set aside, which takes the
// place of `path` only when `write` returned true and every write to it succeeded. Only a
// regular file (or a new one) is ever written. Returns why it failed, or nothing when done.
std::optional<QString> saveAllOrNothing(const QString& path,
                                        const std::function<bool(QIODevice&)>& write);

} // namespace trameda::document
