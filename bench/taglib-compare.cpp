// SPDX-License-Identifier: MIT
// Compares TagLib (Debian's libtag1-dev, the field's standard tag reader) with our audio reader
// on files made with lame from audio of a known length: the durations each gives, and the bytes
// each reads, by /proc/self/io.
// Usage: taglib-compare FOLDER           makes the files in FOLDER and prints the table
//        taglib-compare taglib|ours FILE reads one file with one reader (for strace)
#include <fcntl.h>
#include <sys/stat.h>
#include <taglib/mpegfile.h>
#include <taglib/tag.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "audio/audio_facts.h"
#include "test_support/mp3_files.h"

namespace {

using namespace doze::test;
using namespace std::string_literals;

// What this process has read so far (rchar of /proc/self/io), less what reading it costs.
std::int64_t ReadSoFar() {
    std::ifstream io("/proc/self/io");
    std::string key;
    std::int64_t value = 0;
    while (io >> key >> value && key != "rchar:") {
    }
    return value;
}

struct Reading {
    std::int64_t ms = -1;
    bool exact = false;
    std::int64_t bytes = 0;
};

std::int64_t Overhead() {
    const std::int64_t before = ReadSoFar();
    return ReadSoFar() - before;
}

Reading WithTagLib(const std::string& path) {
    Reading reading;
    const std::int64_t before = ReadSoFar();
    {
        TagLib::MPEG::File file(path.c_str(), true, TagLib::AudioProperties::Accurate);
        if (file.audioProperties() != nullptr) {
            reading.ms = file.audioProperties()->lengthInMilliseconds();
        }
        if (file.tag() != nullptr) file.tag()->title();
    }
    reading.bytes = ReadSoFar() - before - Overhead();
    return reading;
}

Reading WithOurs(const std::string& path, bool exactDurations) {
    Reading reading;
    const std::int64_t before = ReadSoFar();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat status {};
    if (fd < 0 || ::fstat(fd, &status) != 0) return reading;
    const doze::AudioRead read = doze::ReadAudioFacts(fd, status.st_size, {exactDurations});
    ::close(fd);
    reading.ms = read.facts.durationMs.value_or(-1);
    reading.exact = read.facts.durationExact;
    reading.bytes = ReadSoFar() - before - Overhead();
    return reading;
}

struct Sample {
    const char* name;
    const char* file;
    Encoding audio;
    bool cover = false;
};

const Sample kSamples[] = {
    {"VBR, no Xing header (lame -V 4 -t)", "vbr-no-xing.mp3", {"-V 4 -t", 44100, 60, 0, 2}},
    {"VBR, no Xing header, 8 s of silence first",
     "silence-first.mp3",
     {"-V 4 -t", 44100, 52, 8, 2}},
    {"MPEG-2 22050 Hz VBR, no Xing header", "mpeg2.mp3", {"-V 4 -t", 22050, 60, 0, 2}},
    {"VBR, Xing header and LAME tag (-V 4)", "vbr-xing.mp3", {"-V 4", 44100, 60, 0, 2}},
    {"CBR 128 kbit/s, Info header and LAME tag", "cbr.mp3", {"-b 128", 44100, 60, 0, 2}},
    {"CBR 128 kbit/s, 600 KB cover picture", "cover.mp3", {"-b 128", 44100, 60, 0, 2}, true},
};

std::string Milliseconds(std::int64_t ms, double truth) {
    char text[64];
    const double off = static_cast<double>(ms) - truth;
    std::snprintf(text, sizeof text, "%lld (%+.0f ms, %+.1f %%)", static_cast<long long>(ms), off,
                  off * 100 / truth);
    return text;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3) {
        const bool ours = std::string(argv[1]) == "ours";
        const Reading reading = ours ? WithOurs(argv[2], false) : WithTagLib(argv[2]);
        std::printf("%s: %lld ms\n", argv[1], static_cast<long long>(reading.ms));
        return 0;
    }
    if (argc != 2) {
        std::fprintf(stderr, "usage: taglib-compare FOLDER | taglib-compare taglib|ours FILE\n");
        return 2;
    }
    std::printf(
        "| file | true length ms | TagLib 1.13 ms | ours ms (estimate or exact) | ours, "
        "frames counted | bytes read: TagLib | ours |\n|---|---|---|---|---|---|---|\n");
    for (const Sample& sample : kSamples) {
        Mp3File mp3 = Encode(sample.audio);
        if (sample.cover) {
            const std::string cover =
                Id3v2Frame(3, "APIC", "\0image/jpeg\0\3\0"s + std::string(600'000, '\xD8'));
            mp3.bytes = Id3v2Tag(3, 0,
                                 Id3v2Frame(3, "TIT2", TextBody(0, U"Front")) + cover +
                                     Id3v2Frame(3, "TPE1", TextBody(0, U"After"))) +
                        mp3.bytes;
        }
        const std::string path = std::string(argv[1]) + "/" + sample.file;
        std::ofstream(path, std::ios::binary) << mp3.bytes;
        const double truth = static_cast<double>(mp3.samples) * 1000 / mp3.rate;
        const Reading taglib = WithTagLib(path), ours = WithOurs(path, false),
                      counted = WithOurs(path, true);
        std::printf("| %s | %.0f | %s | %s %s | %s | %lld | %lld |\n", sample.name, truth,
                    Milliseconds(taglib.ms, truth).c_str(), Milliseconds(ours.ms, truth).c_str(),
                    ours.exact ? "exact" : "estimate", Milliseconds(counted.ms, truth).c_str(),
                    static_cast<long long>(taglib.bytes), static_cast<long long>(ours.bytes));
    }
    return 0;
}
