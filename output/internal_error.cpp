// SPDX-License-Identifier: MIT
#include "output/internal_error.h"

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

#include "output/message_text.h"

namespace doze {
namespace {

const char* gProgram = "";

[[noreturn]] void InternalError() {
    std::string what = "an unknown exception";
    if (const std::exception_ptr thrown = std::current_exception()) {
        try {
            std::rethrow_exception(thrown);
        } catch (const std::exception& fault) {
            what = fault.what();
        } catch (...) {
        }
    } else {
        what = "no exception";
    }
    const std::string line = std::string(gProgram) + ": internal error: " + what;
    std::fprintf(stderr, "%s\n", SafeMessageText(line).c_str());
    std::abort();
}

}  // namespace

void TreatEscapesAsFaults(const char* program) {
    gProgram = program;
    std::set_terminate(InternalError);
}

}  // namespace doze
