#pragma once
#include <QString>
#include <cstdint>

#include "about/settings_store.h"

namespace doze {

// Size of the read buffer, in bytes; a value with more data counts as not found.
inline constexpr std::uint32_t kKeyValueBufferSize = 1024;

// Reads value `SubKeyRef` of key `KeyName` under root `KeyRoot` from `store`,
// opening the key read-only. True when the value was found and read: a text
// value (type 1) becomes `KeyVal` with one terminating NUL trimmed, a number
// (type 4) its decimal digits, any other type leaves `KeyVal` as it was.
// False, with `KeyVal` emptied, when the key or value cannot be opened or read
// or the data exceeds the buffer. Throws SysInfoFailure for a value with no
// data at all and for a number wider than 32 bits. The key is always closed.
bool GetKeyValue(SettingsStore& store, std::uint32_t KeyRoot, const QString& KeyName,
                 const QString& SubKeyRef, QString& KeyVal);

}  // namespace doze
