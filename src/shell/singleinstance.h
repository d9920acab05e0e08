#pragma once

#include <QString>

namespace merilon {

// Marks that a copy of the program runs: a named mutex on Windows, an
// exclusive lock on a file in the user's runtime folder elsewhere. The
// system lets go of either when the process ends, a crash included.
class SingleInstanceGuard
{
public:
    SingleInstanceGuard() = default;
    ~SingleInstanceGuard();
    SingleInstanceGuard(const SingleInstanceGuard &) = delete;
    SingleInstanceGuard &operator=(const SingleInstanceGuard &) = delete;

    // True when no other copy holds `name`; this copy then holds it until
    // the guard is destroyed. Backslashes in the name become underscores.
    bool CheckSingleInstance(const QString &name);

    static QString guardName(const QString &name);

private:
    void release();
#ifdef Q_OS_WIN
    void *m_handle = nullptr;
#else
    int m_fd = -1;
#endif
};

} // namespace merilon
