#include "about/settings_store_linux.h"

#include <QFile>
#include <QStandardPaths>
#include <cstring>
#include <utility>

namespace doze {
namespace {

constexpr long kErrorFileNotFound = 2;
constexpr long kErrorMoreData = 234;
constexpr StoreKey kMsinfoKey = 1;

constexpr const char* kMsinfoKeyPath = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
constexpr const char* kMsinfoValueName = "PATH";

}  // namespace

StandInSettingsStore::StandInSettingsStore(QStringList searchPath)
    : searchPath_(std::move(searchPath)) {}

QStringList StandInSettingsStore::ToolNames() {
    return {QStringLiteral("hardinfo2"), QStringLiteral("hardinfo"), QStringLiteral("kinfocenter")};
}

long StandInSettingsStore::OpenKey(std::uint32_t root, const QByteArray& keyPath,
                                   std::uint32_t /*options*/, std::uint32_t /*access*/,
                                   StoreKey& key) {
    if (root != kHkeyLocalMachine || keyPath != kMsinfoKeyPath) return kErrorFileNotFound;
    key = kMsinfoKey;
    return 0;
}

long StandInSettingsStore::QueryValue(StoreKey key, const QByteArray& name, std::uint32_t& type,
                                      char* data, std::uint32_t& size) {
    if (key != kMsinfoKey || name != kMsinfoValueName) return kErrorFileNotFound;
    QString found;
    for (const QString& tool : ToolNames()) {
        found = QStandardPaths::findExecutable(tool, searchPath_);
        if (!found.isEmpty()) break;
    }
    if (found.isEmpty()) return kErrorFileNotFound;
    QByteArray text = QFile::encodeName(found);
    text.append('\0');  // a text value is stored with its terminating NUL
    type = kTypeText;
    const auto needed = static_cast<std::uint32_t>(text.size());
    if (needed > size) {
        size = needed;
        return kErrorMoreData;
    }
    std::memcpy(data, text.constData(), needed);
    size = needed;
    return 0;
}

void StandInSettingsStore::CloseKey(StoreKey /*key*/) {}

SettingsStore& SystemSettingsStore() {
    static StandInSettingsStore store;
    return store;
}

}  // namespace doze
