// SPDX-License-Identifier: MIT
#pragma once
#include "search/errors.h"

namespace doze {

// A list could not be written; the target file was left as it was before
// (unless the sentence says the list was written but may not survive a crash).
class WriteFailure : public Failure {
  public:
    using Failure::Failure;
};

// A size text of the found-file list could not be turned into a number.
class SizeConversionFailure : public WriteFailure {
  public:
    using WriteFailure::WriteFailure;
};

}  // namespace doze
