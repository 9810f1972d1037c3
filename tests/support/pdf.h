#pragma once

#include <QString>

// The number of pages in a PDF file, counted from its page objects; -1 when it cannot be read.
int pdfPages(const QString& path);
