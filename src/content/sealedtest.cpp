#include "sealedtest.h"

#include <QtEndian>
#include <sodium.h>

namespace merilon::sealed {

namespace {

constexpr QByteArrayView kName("MERILON SEALED TEST ");
// The second line, for a person who opens the file in another program.
QByteArray readableLine()
{
    return QStringLiteral("Это тест программы «Мерилон», защищённый паролем учителя. Откройте "
                          "его в программе «Мерилон».\r\n")
        .toUtf8();
}
constexpr qsizetype kMaxReadableLine = 1024;
constexpr unsigned char kArgon2id = 2;
constexpr qsizetype kSaltSize = crypto_pwhash_SALTBYTES;
constexpr qsizetype kNonceSize = crypto_aead_xchacha20poly1305_ietf_NPUBBYTES;
constexpr qsizetype kTagSize = crypto_aead_xchacha20poly1305_ietf_ABYTES;
constexpr qsizetype kHashSize = crypto_generichash_BYTES;
constexpr qsizetype kParamsSize = 1 + 4 + 4;
// The subkeys of the password's key, by their numbers in this context.
constexpr char kContext[crypto_kdf_CONTEXTBYTES + 1] = "MerilonT";
enum Subkey : std::uint64_t { TestCipher = 1, RecordProof = 2, RecordKeyId = 3 };

static_assert(Key::size() == crypto_aead_xchacha20poly1305_ietf_KEYBYTES);
static_assert(Key::size() == crypto_kdf_KEYBYTES);
static_assert(Key::size() == crypto_auth_KEYBYTES);

bool ready()
{
    static const bool initialised = sodium_init() >= 0;
    return initialised;
}

const unsigned char *bytes(QByteArrayView view)
{
    return reinterpret_cast<const unsigned char *>(view.data());
}

QByteArray fileHash(QByteArrayView content)
{
    QByteArray hash(kHashSize, Qt::Uninitialized);
    crypto_generichash(reinterpret_cast<unsigned char *>(hash.data()), size_t(hash.size()),
                       bytes(content), content.size(), nullptr, 0);
    return hash;
}

Key subkey(const Key &key, Subkey number)
{
    Key out;
    crypto_kdf_derive_from_key(out.data(), out.size(), number, kContext, key.data());
    return out;
}

// The version in the first line, or -1 when the line is not whole.
int versionOf(QByteArrayView file, qsizetype &lineEnd)
{
    lineEnd = file.indexOf("\r\n");
    if (lineEnd <= kName.size() || lineEnd > kName.size() + 4 || !file.startsWith(kName))
        return -1;
    int version = 0;
    for (const char c : file.sliced(kName.size(), lineEnd - kName.size())) {
        if (c < '0' || c > '9')
            return -1;
        version = version * 10 + (c - '0');
    }
    return version;
}

} // namespace

Key::Key() = default;
Key::~Key()
{
    sodium_memzero(m_bytes.data(), m_bytes.size());
}
Key::Key(const Key &other) = default;
Key &Key::operator=(const Key &other) = default;

QByteArray RecordKey::prove(QByteArrayView message) const
{
    QByteArray mac(crypto_auth_BYTES, Qt::Uninitialized);
    crypto_auth(reinterpret_cast<unsigned char *>(mac.data()), bytes(message),
                std::uint64_t(message.size()), key.data());
    return mac.toHex();
}

bool RecordKey::holds(QByteArrayView message, QByteArrayView proof) const
{
    const QByteArray mac = QByteArray::fromHex(proof.toByteArray());
    return proof.size() == 2 * crypto_auth_BYTES && mac.size() == crypto_auth_BYTES &&
           crypto_auth_verify(bytes(mac), bytes(message), std::uint64_t(message.size()),
                              key.data()) == 0;
}

bool looksSealed(QByteArrayView head)
{
    if (head.size() < kName.size())
        return false;
    // A bit or two changed in the name still makes a damaged sealed test.
    int differ = 0;
    for (qsizetype i = 0; i < kName.size(); ++i)
        differ += head[i] != kName[i] ? 1 : 0;
    return differ <= 2;
}

Status parse(QByteArrayView file, Container &container)
{
    if (!looksSealed(file))
        return Status::NotSealed;
    qsizetype at = 0;
    container.version = versionOf(file, at);
    if (container.version > kFormatVersion)
        return Status::Newer;
    if (container.version != kFormatVersion)
        return Status::Damaged;
    at += 2;
    const qsizetype readableEnd =
        file.sliced(at).first(std::min(file.size() - at, kMaxReadableLine)).indexOf("\r\n");
    if (readableEnd < 0)
        return Status::Damaged;
    at += readableEnd + 2;
    if (file.size() - at < kParamsSize + kSaltSize + kNonceSize + kTagSize + kHashSize)
        return Status::Damaged;
    const QByteArrayView content = file.first(file.size() - kHashSize);
    if (sodium_memcmp(fileHash(content).constData(), file.data() + content.size(), kHashSize) != 0)
        return Status::Damaged;
    if (quint8(file[at]) != kArgon2id)
        return Status::Damaged;
    container.cost.passes = qFromLittleEndian<quint32>(file.data() + at + 1);
    container.cost.memoryKiB = qFromLittleEndian<quint32>(file.data() + at + 5);
    at += kParamsSize;
    container.salt = file.sliced(at, kSaltSize);
    at += kSaltSize;
    container.nonce = file.sliced(at, kNonceSize);
    at += kNonceSize;
    container.header = file.first(at);
    container.sealedText = content.sliced(at);
    if (container.cost.passes < crypto_pwhash_OPSLIMIT_MIN ||
        std::uint64_t(container.cost.memoryKiB) * 1024 < crypto_pwhash_MEMLIMIT_MIN)
        return Status::Damaged;
    if (container.cost.passes > kMaxCost.passes || container.cost.memoryKiB > kMaxCost.memoryKiB)
        return Status::TooCostly;
    return Status::Opened;
}

std::optional<Key> passwordKey(const Container &container, QByteArrayView password)
{
    Key key;
    if (!ready() || container.salt.size() != kSaltSize ||
        crypto_pwhash(key.data(), key.size(), password.data(), std::uint64_t(password.size()),
                      bytes(container.salt), container.cost.passes,
                      size_t(container.cost.memoryKiB) * 1024, crypto_pwhash_ALG_ARGON2ID13) != 0)
        return std::nullopt;
    return key;
}

Opened openWithKey(const Container &container, const Key &key)
{
    Opened opened;
    if (!ready() || container.nonce.size() != kNonceSize ||
        container.sealedText.size() < kTagSize) {
        opened.status = Status::Damaged;
        return opened;
    }
    QByteArray test(container.sealedText.size() - kTagSize, Qt::Uninitialized);
    unsigned long long length = 0;
    const Key cipher = subkey(key, TestCipher);
    if (crypto_aead_xchacha20poly1305_ietf_decrypt(
            reinterpret_cast<unsigned char *>(test.data()), &length, nullptr,
            bytes(container.sealedText), std::uint64_t(container.sealedText.size()),
            bytes(container.header), std::uint64_t(container.header.size()), bytes(container.nonce),
            cipher.data()) != 0) {
        wipe(test);
        opened.status = Status::WrongPassword;
        return opened;
    }
    test.truncate(qsizetype(length));
    opened.status = Status::Opened;
    opened.test = std::move(test);
    opened.recordKey.key = subkey(key, RecordProof);
    const Key id = subkey(key, RecordKeyId);
    opened.recordKey.id = QByteArray(reinterpret_cast<const char *>(id.data()), 16).toHex();
    return opened;
}

Opened open(QByteArrayView file, QByteArrayView password)
{
    Container container;
    Opened opened;
    opened.status = parse(file, container);
    if (opened.status != Status::Opened)
        return opened;
    const std::optional<Key> key = passwordKey(container, password);
    if (!key) {
        opened.status = Status::TooCostly; // the memory it asks for cannot be had
        return opened;
    }
    return openWithKey(container, *key);
}

QByteArray seal(QByteArrayView test, QByteArrayView password, Cost cost)
{
    if (!ready())
        return {};
    QByteArray file =
        kName.toByteArray() + QByteArray::number(kFormatVersion) + "\r\n" + readableLine();
    file += char(kArgon2id);
    char number[4];
    qToLittleEndian<quint32>(cost.passes, number);
    file.append(number, 4);
    qToLittleEndian<quint32>(cost.memoryKiB, number);
    file.append(number, 4);
    const qsizetype saltAt = file.size();
    file.resize(file.size() + kSaltSize + kNonceSize);
    randombytes_buf(file.data() + saltAt, size_t(kSaltSize + kNonceSize));
    const qsizetype headerSize = file.size();

    Container container;
    container.cost = cost;
    container.salt = QByteArrayView(file).sliced(saltAt, kSaltSize);
    const std::optional<Key> key = passwordKey(container, password);
    if (!key)
        return {};
    const Key cipher = subkey(*key, TestCipher);
    file.resize(headerSize + test.size() + kTagSize);
    unsigned long long length = 0;
    crypto_aead_xchacha20poly1305_ietf_encrypt(
        reinterpret_cast<unsigned char *>(file.data() + headerSize), &length, bytes(test),
        std::uint64_t(test.size()), reinterpret_cast<const unsigned char *>(file.constData()),
        std::uint64_t(headerSize), nullptr,
        reinterpret_cast<const unsigned char *>(file.constData() + saltAt + kSaltSize),
        cipher.data());
    file.truncate(headerSize + qsizetype(length));
    file += fileHash(file);
    return file;
}

QString message(Status status, const QString &fileName)
{
    switch (status) {
    case Status::Damaged:
        return QStringLiteral("Файл защищённого теста \"%1\" повреждён или записан не полностью "
                              "и не может быть открыт. Скопируйте тест заново с исходного "
                              "носителя.")
            .arg(fileName);
    case Status::Newer:
        return QStringLiteral("Тест \"%1\" защищён более новой версией программы «Мерилон». "
                              "Чтобы открыть его, установите новую версию программы.")
            .arg(fileName);
    case Status::TooCostly:
        return QStringLiteral("Тест \"%1\" защищён с параметрами, которые требуют больше "
                              "памяти или времени, чем программа допускает. Защитите тест "
                              "заново программой merilon-check.")
            .arg(fileName);
    case Status::WrongPassword:
        return QStringLiteral("Неверный пароль.");
    case Status::Opened:
    case Status::NotSealed:
        break;
    }
    return {};
}

QByteArray passwordBytes(const QString &password)
{
    return password.normalized(QString::NormalizationForm_C).toUtf8();
}

void wipe(QByteArray &bytes)
{
    if (!bytes.isEmpty() && !bytes.isDetached())
        bytes.clear(); // another array holds them too: leave them to it
    if (!bytes.isEmpty())
        sodium_memzero(bytes.data(), size_t(bytes.size()));
    bytes.clear();
}

} // namespace merilon::sealed
