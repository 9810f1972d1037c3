#include "filelimit.h"

FileSizeLimit::FileSizeLimit(rlim_t bytes) {
    // The signal would end the process; the failing write is what is being tested.
    m_handler = std::signal(SIGXFSZ, SIG_IGN);
    getrlimit(RLIMIT_FSIZE, &m_previous);
    const rlimit limit{bytes, m_previous.rlim_max};
    setrlimit(RLIMIT_FSIZE, &limit);
}

FileSizeLimit::~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &m_previous);
    std::signal(SIGXFSZ, m_handler);
}
