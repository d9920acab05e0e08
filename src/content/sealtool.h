#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class QTextStream;

namespace merilon {

namespace sealed {
struct RecordKey;
}

// Reads a password after showing the prompt, unseen; nothing at the end of input.
using PasswordReader = std::function<std::optional<QString>(const QString &prompt)>;

// The checker's commands for sealed tests:
//   --seal TEST [OUT]   checks the test, asks twice for a password and writes it sealed;
//   --unseal TEST OUT   writes the plain test back with the password;
// each with --password-file F, whose first line is the password, for scripts.
// Returns the exit status, or -1 when the arguments are none of these.
int runSealTool(const QStringList &arguments, const PasswordReader &read, QTextStream &out,
                QTextStream &err);

// The password: the first line of `passwordFile` when one is named, else read once (or twice,
// to be sure of a new one). Nothing, with `error`, when there is none.
std::optional<QString> obtainPassword(const QString &passwordFile, const PasswordReader &read,
                                      bool twice, QString *error);

// The key for the proofs of the records written under a sealed test, with its password.
// Nothing, with `error`, when the file is not a sealed test, cannot be read or the password
// does not open it.
std::optional<sealed::RecordKey> sealedRecordKey(const QString &path, const QString &password,
                                                 QString *error);

} // namespace merilon
