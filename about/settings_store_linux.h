#pragma once
#include <QStringList>

#include "about/settings_store.h"

namespace doze {

// Read-only stand-in for a platform without a settings store. It knows one
// value: "SOFTWARE\Microsoft\Shared Tools\MSINFO" "PATH" (under the local
// machine root), a text value with its terminating NUL holding the full path
// of the first system-information program found on the search path. Every
// other key misses.
class StandInSettingsStore : public SettingsStore {
  public:
    // `searchPath`: folders to look in (empty: the PATH environment variable).
    explicit StandInSettingsStore(QStringList searchPath = {});

    long OpenKey(std::uint32_t root, const QByteArray& keyPath, std::uint32_t options,
                 std::uint32_t access, StoreKey& key) override;
    long QueryValue(StoreKey key, const QByteArray& name, std::uint32_t& type, char* data,
                    std::uint32_t& size) override;
    void CloseKey(StoreKey key) override;

    // The programs looked for, in order.
    static QStringList ToolNames();

  private:
    QStringList searchPath_;
};

}  // namespace doze
