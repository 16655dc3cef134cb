#pragma once
#include <QByteArray>
#include <QList>
#include <QMap>
#include <QStringList>
#include <utility>

#include "about/settings_store.h"

namespace doze::testing {

// A settings store of scripted values under the local machine root. Answers
// like the registry: a value larger than the room given fails. Logs each
// opening as "<key> 0x<access>".
class ScriptedStore : public SettingsStore {
  public:
    struct Value {
        std::uint32_t type = kTypeText;
        QByteArray data;
    };
    void Set(const QByteArray& key, const QByteArray& name, Value value) {
        keys_[key][name] = std::move(value);
    }
    void AddKey(const QByteArray& key) { keys_[key]; }

    long OpenKey(std::uint32_t root, const QByteArray& keyPath, std::uint32_t options,
                 std::uint32_t access, StoreKey& key) override;
    long QueryValue(StoreKey key, const QByteArray& name, std::uint32_t& type, char* data,
                    std::uint32_t& size) override;
    void CloseKey(StoreKey) override { --openKeys; }

    QStringList opened;
    int openKeys = 0;  // opened and not yet closed

  private:
    QMap<QByteArray, QMap<QByteArray, Value>> keys_;
    QList<QByteArray> handles_;  // handle n is handles_[n - 1]
};

}  // namespace doze::testing
