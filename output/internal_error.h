// SPDX-License-Identifier: MIT
#pragma once

namespace doze {

// Makes an exception that escapes, or a broken noexcept, end the program as
// the fault of the program it is, not as a failure of a run: one line
// "PROGRAM: internal error: WHAT" on standard error (escaped like every
// message), then abort, with a core dump where allowed. `program` must live
// as long as the program.
void TreatEscapesAsFaults(const char* program);

}  // namespace doze
