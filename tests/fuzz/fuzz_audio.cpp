// SPDX-License-Identifier: MIT
// The audio reader under libFuzzer: each input is a whole file, read through a pread over memory,
// with estimates and with every frame counted. A crash, a sanitizer's report, a read past the
// budget or a text that is not UTF-8 (as iconv checks it) stops the run.
#include <iconv.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "audio/audio_facts.h"

namespace {

std::string input;
std::int64_t bytesRead;

ssize_t MemoryPread(int, void* buffer, std::size_t size, off_t offset) {
    const std::size_t at = std::min(input.size(), static_cast<std::size_t>(offset));
    const std::string part = input.substr(at, size);
    std::memcpy(buffer, part.data(), part.size());
    bytesRead += static_cast<std::int64_t>(part.size());
    return static_cast<ssize_t>(part.size());
}

bool IsUtf8(std::string text) {
    static const iconv_t toUtf16 = ::iconv_open("UTF-16LE", "UTF-8");
    std::string out(2 * text.size(), '\0');
    char *from = text.data(), *to = out.data();
    std::size_t left = text.size(), room = out.size();
    return ::iconv(toUtf16, &from, &left, &to, &room) != static_cast<std::size_t>(-1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    input.assign(reinterpret_cast<const char*>(data), size);
    for (const bool exact : {false, true}) {
        bytesRead = 0;
        const auto read =
            doze::ReadAudioFacts(-1, static_cast<std::int64_t>(size), {exact, MemoryPread});
        if (!exact && bytesRead > doze::kAudioReadBudget) std::abort();
        for (const auto& text :
             {read.facts.artist, read.facts.album, read.facts.title, read.facts.genre}) {
            if (!IsUtf8(text.value_or(""))) std::abort();
        }
    }
    return 0;
}
