// SPDX-License-Identifier: MIT
#include "test_support/temp_tree.h"

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace doze::test {

namespace fs = std::filesystem;

TempTree::TempTree() {
    std::string pattern = fs::temp_directory_path() / "dozedozovo-test-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    root_ = fs::canonical(pattern).string();
}

TempTree::~TempTree() {
    std::error_code ignored;
    // Give back search rights that a test took away, so everything can go.
    const auto options = fs::directory_options::skip_permission_denied;
    for (fs::recursive_directory_iterator it(root_, options, ignored), end; it != end;
         it.increment(ignored)) {
        if (it->symlink_status(ignored).type() == fs::file_type::directory) {
            ::chmod(it->path().c_str(), 0755);
        }
    }
    ::chmod(root_.c_str(), 0755);
    fs::remove_all(root_, ignored);
}

void TempTree::Folder(const std::string& relative) const {
    fs::create_directories(Path(relative));
}

void TempTree::File(const std::string& relative, std::int64_t size) const {
    const fs::path path = Path(relative);
    fs::create_directories(path.parent_path());
    std::ofstream{path};
    fs::resize_file(path, static_cast<std::uintmax_t>(size));
}

void TempTree::Link(const std::string& relative, const std::string& target) const {
    fs::create_symlink(target, Path(relative));
}

std::string TempTree::Read(const std::string& relative) const {
    std::ifstream in(Path(relative), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace doze::test
