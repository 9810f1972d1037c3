#pragma once

#include <QString>

namespace trameda::threads {

// The thread makers whose colour tables the program carries.
enum class Brand { Dmc, Anchor, Madeira };

// The maker's name as printed before a thread number: "DMC", "Anchor", "Madeira".
QString brandName(Brand brand);

} // namespace trameda::threads
