#pragma once
#include <QByteArray>
#include <cstdint>

namespace doze {

// Root key of the local machine's part of the settings store.
inline constexpr std::uint32_t kHkeyLocalMachine = 0x80000002u;
// Access asked for when a key is opened: read only (KEY_READ). Read rights
// are all the look-ups need; asking for more fails for ordinary accounts.
inline constexpr std::uint32_t kKeyRead = 0x20019u;
// Value types read by GetKeyValue.
inline constexpr std::uint32_t kTypeText = 1;    // REG_SZ
inline constexpr std::uint32_t kTypeNumber = 4;  // REG_DWORD, least significant byte first

// Opaque handle of an opened key.
using StoreKey = std::uintptr_t;

// A registry-style settings store, reached the way the platform's own is:
// every call answers 0 for success and an error code otherwise. Texts are
// 8-bit text in the system's code page.
class SettingsStore {
  public:
    virtual ~SettingsStore() = default;
    // Opens `keyPath` under `root` with the `access` rights; sets `key`.
    virtual long OpenKey(std::uint32_t root, const QByteArray& keyPath, std::uint32_t options,
                         std::uint32_t access, StoreKey& key) = 0;
    // Reads value `name` of an opened key into `data` (room for `size` bytes).
    // On return `type` is the value type and `size` the data size in bytes; a
    // value larger than the room given fails (and `size` tells what it needs).
    virtual long QueryValue(StoreKey key, const QByteArray& name, std::uint32_t& type, char* data,
                            std::uint32_t& size) = 0;
    // Closes an opened key.
    virtual void CloseKey(StoreKey key) = 0;
};

// The system's store: a read-only stand-in that answers from the desktop's
// own files (see settings_store_linux.h).
SettingsStore& SystemSettingsStore();

}  // namespace doze
