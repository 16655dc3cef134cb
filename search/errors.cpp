// SPDX-License-Identifier: MIT
#include "search/errors.h"

#include <cstring>

namespace doze {

std::string SystemErrorText(int err) {
    return std::strerror(err);
}

}  // namespace doze
