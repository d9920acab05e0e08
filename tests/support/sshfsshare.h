#pragma once

// A folder on a file server that each computer of a class mounts over a real network file
// system: sshfs (SFTP over ssh, in user space through FUSE). The server is an sshd of our own
// on 127.0.0.1: a free port, its own host and user keys in a temporary folder, nothing of the
// system's ssh setup used or changed. Each computer mounts the folder on its own, so each has
// its own caches, as the computers of a class have. Whatever it starts it stops again when it
// goes, the mounts first, also when a test fails halfway.
//
// The mount options give sshfs what the network file systems of schools (SMB, NFS) promise: a
// file opened after another computer closed it reads as that computer left it. Without them,
// as tried with two mounts of one folder:
// - attr_timeout=0: the kernel keeps a file's size for a second, and a file that another
//   computer replaced within that second reads as its new bytes cut at the old size (100 of
//   200 bytes). A journal read so would lose its oldest records with the next write.
// - dir_cache=no: sshfs keeps names and attributes for 20 s, so a file that another computer
//   has removed still seems there when asked about (five seconds later and more).
// - entry_timeout=0 (negative_timeout=0 as by default): each open looks the name up on the
//   server, so a lock file made or removed elsewhere counts at once.
// The journal's writers came through without them too, since each reads the journal under the
// lock just after its own last replacement of it made the kernel forget the size; with them
// the class writes at about half the speed.
// Replacing a file in one step needs no option: sshfs renames with the server's
// posix-rename@openssh.com, which replaces the target. (Plain SFTP rename refuses an existing
// target; -o workaround=rename would move the old journal away first, so it is not used.)
// One thing no option changes: a file made with O_EXCL that another computer made a moment
// before is refused with SFTP's general failure, which arrives as EPERM, not EEXIST; QLockFile
// then reports UnknownError rather than LockFailedError.

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <memory>
#include <vector>

class SshfsShare
{
public:
    // What this machine lacks for such a folder; empty when nothing.
    static QString missing()
    {
        if (!QFileInfo(QStringLiteral("/dev/fuse")).isWritable())
            return QStringLiteral("no /dev/fuse that this user may use");
        for (const char *tool : {"sshfs", "ssh", "ssh-keygen"})
            if (QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty())
                return QStringLiteral("no %1").arg(QLatin1String(tool));
        if (sshd().isEmpty())
            return QStringLiteral("no sshd");
        if (fusermount().isEmpty())
            return QStringLiteral("no fusermount3 or fusermount");
        return {};
    }

    // The server started and the folder mounted once for each of `computers`; error() says
    // what failed when not.
    explicit SshfsShare(int computers)
    {
        m_error = missing();
        if (m_error.isEmpty() && !m_dir.isValid())
            m_error = QStringLiteral("no temporary folder");
        if (m_error.isEmpty() && !QDir(m_dir.path()).mkpath(QStringLiteral("served")))
            m_error = QStringLiteral("cannot make the served folder");
        if (m_error.isEmpty())
            startServer();
        if (m_error.isEmpty())
            mountAll(computers);
    }

    ~SshfsShare()
    {
        for (const QString &mount : m_mounts)
            if (!run(fusermount(), {QStringLiteral("-u"), mount}))
                run(fusermount(), {QStringLiteral("-uz"), mount}); // busy: let it go when free
        if (m_sshd.state() != QProcess::NotRunning) {
            m_sshd.terminate();
            if (!m_sshd.waitForFinished(5000))
                m_sshd.kill();
            m_sshd.waitForFinished(5000);
        }
    }

    SshfsShare(const SshfsShare &) = delete;
    SshfsShare &operator=(const SshfsShare &) = delete;

    const QString &error() const { return m_error; }
    // The folder as the server has it.
    QString served() const { return m_dir.filePath(QStringLiteral("served")); }
    // Where each computer has the folder mounted.
    const QStringList &mounts() const { return m_mounts; }

private:
    static QString sshd()
    {
        const QString found = QStandardPaths::findExecutable(QStringLiteral("sshd"));
        return !found.isEmpty() ? found
                                : QStandardPaths::findExecutable(
                                      QStringLiteral("sshd"),
                                      {QStringLiteral("/usr/sbin"), QStringLiteral("/sbin"),
                                       QStringLiteral("/usr/local/sbin")});
    }

    static QString fusermount()
    {
        const QString three = QStandardPaths::findExecutable(QStringLiteral("fusermount3"));
        return !three.isEmpty() ? three
                                : QStandardPaths::findExecutable(QStringLiteral("fusermount"));
    }

    static bool run(const QString &program, const QStringList &arguments, QString *output = nullptr)
    {
        QProcess process;
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(program, arguments);
        const bool ok = process.waitForFinished(20000) &&
                        process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
        if (output)
            *output = QString::fromLocal8Bit(process.readAll()).trimmed();
        return ok;
    }

    bool keys()
    {
        QString output;
        for (const QString &key : {QStringLiteral("host_key"), QStringLiteral("user_key")})
            if (!run(QStandardPaths::findExecutable(QStringLiteral("ssh-keygen")),
                     {QStringLiteral("-q"), QStringLiteral("-t"), QStringLiteral("ed25519"),
                      QStringLiteral("-N"), QString(), QStringLiteral("-f"), m_dir.filePath(key)},
                     &output)) {
                m_error = QStringLiteral("ssh-keygen failed: ") + output;
                return false;
            }
        return QFile::copy(m_dir.filePath(QStringLiteral("user_key.pub")),
                           m_dir.filePath(QStringLiteral("authorized_keys")));
    }

    void startServer()
    {
        if (!keys())
            return;
        // sshd started by root wants its empty privilege separation folder, which the system's
        // ssh service makes only when it starts; left in place, as that service leaves it.
        if (!QFileInfo::exists(QStringLiteral("/run/sshd")))
            QDir().mkpath(QStringLiteral("/run/sshd"));
        // sshd logs to a file (-E) rather than to a pipe that nobody would read while the
        // test runs; coreutils' timeout ends it even if the test itself dies.
        const QString log = m_dir.filePath(QStringLiteral("sshd.log"));
        const QString timeout = QStandardPaths::findExecutable(QStringLiteral("timeout"));
        for (int attempt = 0; attempt < 5; ++attempt) {
            m_port = QString::number(QRandomGenerator::global()->bounded(20000, 60000));
            if (!writeConfig())
                return;
            QFile::remove(log);
            QString program = sshd();
            QStringList arguments{QStringLiteral("-D"), QStringLiteral("-E"), log,
                                  QStringLiteral("-f"),
                                  m_dir.filePath(QStringLiteral("sshd_config"))};
            if (!timeout.isEmpty()) {
                arguments = QStringList{QStringLiteral("600"), program} + arguments;
                program = timeout;
            }
            m_sshd.start(program, arguments);
            const QDeadlineTimer deadline(10000);
            QByteArray said;
            while (!deadline.hasExpired() && !said.contains("Server listening on") &&
                   !m_sshd.waitForFinished(50)) {
                QFile file(log);
                if (file.open(QIODevice::ReadOnly))
                    said = file.readAll();
            }
            if (said.contains("Server listening on"))
                return;
            if (m_sshd.state() != QProcess::NotRunning) {
                m_sshd.kill();
                m_sshd.waitForFinished(5000);
            }
            QFile file(log);
            if (file.open(QIODevice::ReadOnly))
                said = file.readAll();
            if (!said.contains("Address already in use")) {
                m_error = QStringLiteral("sshd did not start: ") + QString::fromLocal8Bit(said);
                return;
            }
        }
        m_error = QStringLiteral("sshd found no free port");
    }

    bool writeConfig()
    {
        QFile config(m_dir.filePath(QStringLiteral("sshd_config")));
        if (!config.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            m_error = QStringLiteral("cannot write sshd_config");
            return false;
        }
        const auto quoted = [this](const QString &name) {
            return QStringLiteral("\"%1\"").arg(m_dir.filePath(name));
        };
        // Key logins only; the class's computers all connect at once, so none is turned away.
        config.write(QStringLiteral("ListenAddress 127.0.0.1:%1\n"
                                    "HostKey %2\n"
                                    "AuthorizedKeysFile %3\n"
                                    "PidFile none\n"
                                    "UsePAM no\n"
                                    "StrictModes no\n"
                                    "PasswordAuthentication no\n"
                                    "KbdInteractiveAuthentication no\n"
                                    "PermitRootLogin prohibit-password\n"
                                    "MaxStartups 200\n"
                                    "Subsystem sftp internal-sftp\n")
                         .arg(m_port, quoted(QStringLiteral("host_key")),
                              quoted(QStringLiteral("authorized_keys")))
                         .toUtf8());
        return true;
    }

    void mountAll(int computers)
    {
        const QString options =
            QStringLiteral("port=%1,IdentityFile=%2,IdentitiesOnly=yes,BatchMode=yes,"
                           "StrictHostKeyChecking=no,UserKnownHostsFile=/dev/null,LogLevel=ERROR,"
                           "dir_cache=no,attr_timeout=0,entry_timeout=0,negative_timeout=0")
                .arg(m_port, m_dir.filePath(QStringLiteral("user_key")));
        // All at once, as a class switches on; each sshfs returns once its folder is mounted.
        std::vector<std::unique_ptr<QProcess>> mounting;
        for (int c = 0; c < computers; ++c) {
            const QString mount = m_dir.filePath(QStringLiteral("computer%1").arg(c + 1));
            QDir().mkpath(mount);
            auto process = std::make_unique<QProcess>();
            process->setProcessChannelMode(QProcess::MergedChannels);
            process->setProperty("mount", mount);
            // -F /dev/null: the user's own ssh settings play no part.
            process->start(QStandardPaths::findExecutable(QStringLiteral("sshfs")),
                           {QStringLiteral("-F"), QStringLiteral("/dev/null"),
                            QStringLiteral("127.0.0.1:") + served(), mount, QStringLiteral("-o"),
                            options});
            mounting.push_back(std::move(process));
        }
        for (auto &process : mounting) {
            const bool mounted = process->waitForFinished(30000) &&
                                 process->exitStatus() == QProcess::NormalExit &&
                                 process->exitCode() == 0;
            if (mounted)
                m_mounts << process->property("mount").toString();
            else if (m_error.isEmpty())
                m_error = QStringLiteral("sshfs failed: ") +
                          QString::fromLocal8Bit(process->readAll()).trimmed();
        }
    }

    // Declared first, so that it goes last, after the mounts in it.
    QTemporaryDir m_dir;
    QProcess m_sshd;
    QString m_port;
    QStringList m_mounts;
    QString m_error;
};
