#pragma once

#include "richtext/qtcompat.h"

#include <QByteArray>
#include <QString>
#include <array>
#include <cstdint>
#include <optional>

namespace merilon {

// A test sealed under the teacher's password: the whole file, pictures and markers included,
// encrypted with XChaCha20-Poly1305 under a key that Argon2id derives from the password. The
// file opens with two readable lines that say what it is; the rest is binary:
//
//   "MERILON SEALED TEST 1\r\n"          the format and its version
//   a line of text for a person, "\r\n"
//   1 byte   the password hash: 2 = Argon2id 1.3
//   4 bytes  its passes, little-endian
//   4 bytes  its memory in KiB, little-endian
//   16 bytes salt, 24 bytes nonce
//   the encrypted test with its 16-byte tag; everything before it is the tag's associated data
//   32 bytes BLAKE2b of all the file before them, which tells damage from a wrong password
namespace sealed {

// The password hash's cost. A sealing uses kDefaultCost; an opening accepts no more than
// kMaxCost, whatever a file says, so that a crafted file cannot take the computer's memory or
// keep it busy for long.
struct Cost
{
    std::uint32_t passes = 0;
    std::uint32_t memoryKiB = 0;
};
constexpr Cost kDefaultCost{3, 128 * 1024};
constexpr Cost kMaxCost{4, 256 * 1024};
constexpr int kFormatVersion = 1;

// 32 bytes of key that are wiped when they go.
class Key
{
public:
    Key();
    ~Key();
    Key(const Key &other);
    Key &operator=(const Key &other);
    unsigned char *data() { return m_bytes.data(); }
    const unsigned char *data() const { return m_bytes.data(); }
    static constexpr std::size_t size() { return 32; }

private:
    std::array<unsigned char, 32> m_bytes{};
};

// What a sealed test gives the records written under it: a key for their proofs, which only
// the password yields, and the test's public name for that key, which a record carries so that
// a check can tell a record of another test from a changed one.
struct RecordKey
{
    Key key;
    QByteArray id; // 16 bytes as 32 hex digits

    // The proof of a record's fields: 32 bytes as 64 hex digits.
    QByteArray prove(QByteArrayView message) const;
    bool holds(QByteArrayView message, QByteArrayView proof) const;
};

// Whether the file is a sealed test, judged by its first bytes: its first line, or one near
// enough to it that the file is a damaged sealed test rather than a text.
bool looksSealed(QByteArrayView head);

enum class Status {
    Opened,
    NotSealed,
    Damaged,       // changed or cut off
    Newer,         // a later format than this program reads
    TooCostly,     // its password hash asks for more than kMaxCost
    WrongPassword, // the file is whole, but the password does not open it
};

// The parts of a sealed file, read without the password.
struct Container
{
    int version = 0;
    Cost cost;
    QByteArrayView salt;
    QByteArrayView nonce;
    QByteArrayView header; // from the file's start to the end of the nonce
    QByteArrayView sealedText;
};

// Reads the layout and checks the file's hash; `container` views `file`.
Status parse(QByteArrayView file, Container &container);

// The key the password gives for the container's salt and cost.
std::optional<Key> passwordKey(const Container &container, QByteArrayView password);

struct Opened
{
    Status status = Status::NotSealed;
    QByteArray test; // the plain test, byte for byte as it was sealed
    RecordKey recordKey;
};

// Opens a parsed container with the password's key.
Opened openWithKey(const Container &container, const Key &key);
// Parses, derives the key and opens.
Opened open(QByteArrayView file, QByteArrayView password);

// The sealed form of the test under the password, with a new salt and nonce.
QByteArray seal(QByteArrayView test, QByteArrayView password, Cost cost = kDefaultCost);

// What to tell the teacher for a status other than Opened and NotSealed.
QString message(Status status, const QString &fileName);

// The bytes a password is hashed as: UTF-8 of its composed form, so that the same letters typed
// on any system give the same key.
QByteArray passwordBytes(const QString &password);

// Overwrites the bytes of `bytes` with zeros where it holds them alone.
void wipe(QByteArray &bytes);

} // namespace sealed
} // namespace merilon
