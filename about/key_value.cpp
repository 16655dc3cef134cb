#include "about/key_value.h"

#include "about/sys_info_failure.h"

namespace doze {
namespace {

// Keeps the first `size` bytes of the buffer, less one terminating NUL.
QByteArray TrimToData(const QByteArray& buffer, std::uint32_t size) {
    if (size == 0) throw SysInfoFailure("settings value without data");
    const auto n = static_cast<qsizetype>(size);
    return buffer.left(buffer.at(n - 1) == '\0' ? n - 1 : n);
}

// The decimal digits of a number stored least significant byte first.
QString NumberText(const QByteArray& bytes) {
    if (bytes.size() > 4) throw SysInfoFailure("settings number wider than 32 bits");
    std::uint32_t number = 0;
    for (qsizetype i = bytes.size(); i-- > 0;) {
        number = (number << 8) | static_cast<unsigned char>(bytes.at(i));
    }
    return QString::number(number);
}

// Closes an opened key on every way out, a thrown failure included.
class KeyCloser {
  public:
    KeyCloser(SettingsStore& store, StoreKey key) : store_(store), key_(key) {}
    ~KeyCloser() { store_.CloseKey(key_); }
    KeyCloser(const KeyCloser&) = delete;
    KeyCloser& operator=(const KeyCloser&) = delete;

  private:
    SettingsStore& store_;
    StoreKey key_;
};

}  // namespace

bool GetKeyValue(SettingsStore& store, std::uint32_t KeyRoot, const QString& KeyName,
                 const QString& SubKeyRef, QString& KeyVal) {
    StoreKey key = 0;
    if (store.OpenKey(KeyRoot, KeyName.toLocal8Bit(), 0, kKeyRead, key) != 0) {
        KeyVal.clear();
        return false;
    }
    const KeyCloser closer(store, key);

    QByteArray buffer(kKeyValueBufferSize, '\0');
    std::uint32_t size = kKeyValueBufferSize;
    std::uint32_t type = 0;
    if (store.QueryValue(key, SubKeyRef.toLocal8Bit(), type, buffer.data(), size) != 0 ||
        size > kKeyValueBufferSize) {
        KeyVal.clear();
        return false;
    }

    const QByteArray data = TrimToData(buffer, size);
    if (type == kTypeText) {
        KeyVal = QString::fromLocal8Bit(data);
    } else if (type == kTypeNumber) {
        KeyVal = NumberText(data);
    }
    return true;
}

}  // namespace doze
