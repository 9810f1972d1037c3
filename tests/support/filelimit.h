#pragma once

#include <csignal>
#include <sys/resource.h>

// While it lives, every write that would take a regular file past `bytes` fails with EFBIG, as
// writes to a full disk fail: the program's real writes meet a real error, without root.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit m_previous{};
    void (*m_handler)(int) = nullptr;
};
