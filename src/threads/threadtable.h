#pragma once

#include "brand.h"
#include "colourdifference.h"

#include <QByteArray>
#include <QRgb>
#include <QString>
#include <span>
#include <vector>

namespace trameda::threads {

struct Thread {
    QString number; // as the maker prints it: "310", "B5200", "Ecru"
    QString name;
    QRgb colour = 0;
    Lab lab;
};

// A thread chosen for a colour: its row in the table and the CIEDE2000 difference.
struct ThreadMatch {
    int index = -1;
    double difference = 0;
};

// Above this difference a match is visibly off and is shown as approximate.
constexpr double kApproximateAbove = 5.0;

class ThreadTable {
public:
    // Reads a header row, then "number,name,red,green,blue" rows with components 0 to 255.
    // Throws std::runtime_error naming the first row that is not so.
    static ThreadTable fromCsv(const QByteArray& text);
    // DMC stranded cotton, from the table built into the program.
    // Built once, on first use, from any thread; read-only afterwards, so safe to share.
    static const ThreadTable& dmc();
    // The maker's table built into the program; read once, then shared (safe between threads).
    static const ThreadTable& forBrand(Brand brand);

    const std::vector<Thread>& threads() const { return m_threads; }
    const Thread& at(int index) const { return m_threads.at(std::size_t(index)); }

    // The nearest thread to each colour by CIEDE2000; on equal differences the earlier row.
    std::vector<ThreadMatch> nearest(std::span<const QRgb> colours) const;

private:
    std::vector<Thread> m_threads;
};

} // namespace trameda::threads
