// SPDX-License-Identifier: MIT
#pragma once
#include <string_view>

namespace doze {

// The catalogue page, made at build time from output/catalog/: everything up
// to the content of its data element, and everything after it.
extern const std::string_view kCatalogHead;
extern const std::string_view kCatalogTail;

}  // namespace doze
