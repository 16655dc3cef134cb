#include "doubles/about_fakes.h"

#include <cstring>

namespace doze::testing {

long ScriptedStore::OpenKey(std::uint32_t root, const QByteArray& keyPath, std::uint32_t,
                            std::uint32_t access, StoreKey& key) {
    opened.append(QString::fromLatin1(keyPath) + QStringLiteral(" 0x%1").arg(access, 0, 16));
    if (root != kHkeyLocalMachine || !keys_.contains(keyPath)) return 2;  // not found
    handles_.append(keyPath);
    key = static_cast<StoreKey>(handles_.size());
    ++openKeys;
    return 0;
}

long ScriptedStore::QueryValue(StoreKey key, const QByteArray& name, std::uint32_t& type,
                               char* data, std::uint32_t& size) {
    const auto values = keys_.value(handles_.value(static_cast<qsizetype>(key) - 1));
    if (!values.contains(name)) return 2;
    const Value& value = values[name];
    const auto needed = static_cast<std::uint32_t>(value.data.size());
    type = value.type;
    if (needed > size) {
        size = needed;
        return 234;  // more data
    }
    std::memcpy(data, value.data.constData(), needed);
    size = needed;
    return 0;
}

}  // namespace doze::testing
