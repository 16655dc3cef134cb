// The Windows registry as the settings store. Built on Windows only.
#ifdef _WIN32
#include <windows.h>

#include "about/settings_store.h"

namespace doze {
namespace {

class RegistrySettingsStore : public SettingsStore {
  public:
    long OpenKey(std::uint32_t root, const QByteArray& keyPath, std::uint32_t options,
                 std::uint32_t access, StoreKey& key) override {
        HKEY opened = nullptr;
        const LONG rc = RegOpenKeyExA(reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(root)),
                                      keyPath.constData(), options, access, &opened);
        key = reinterpret_cast<StoreKey>(opened);
        return rc;
    }
    long QueryValue(StoreKey key, const QByteArray& name, std::uint32_t& type, char* data,
                    std::uint32_t& size) override {
        DWORD valueType = 0;
        DWORD dataSize = size;
        const LONG rc = RegQueryValueExA(reinterpret_cast<HKEY>(key), name.constData(), nullptr,
                                         &valueType, reinterpret_cast<BYTE*>(data), &dataSize);
        type = valueType;
        size = dataSize;
        return rc;
    }
    void CloseKey(StoreKey key) override { RegCloseKey(reinterpret_cast<HKEY>(key)); }
};

}  // namespace

SettingsStore& SystemSettingsStore() {
    static RegistrySettingsStore store;
    return store;
}

}  // namespace doze
#endif
