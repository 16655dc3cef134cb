#include "test_support/temp_tree.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace doze::test {

TempTree::TempTree() {
    std::string pattern = std::filesystem::temp_directory_path() / "dozedozovo-test-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    root_ = std::filesystem::canonical(pattern).string();
}

TempTree::~TempTree() {
    std::error_code ignored;
    // Give back search rights that a test took away, so everything can go.
    for (auto it = std::filesystem::recursive_directory_iterator(
             root_, std::filesystem::directory_options::skip_permission_denied, ignored);
         it != std::filesystem::recursive_directory_iterator(); it.increment(ignored)) {
        if (it->is_directory(ignored) && !it->is_symlink(ignored)) {
            ::chmod(it->path().c_str(), 0755);
        }
    }
    ::chmod(root_.c_str(), 0755);
    std::filesystem::remove_all(root_, ignored);
}

std::string TempTree::Path(const std::string& relative) const {
    return root_ + "/" + relative;
}

void TempTree::Folder(const std::string& relative) const {
    std::filesystem::create_directories(Path(relative));
}

void TempTree::File(const std::string& relative, std::int64_t size) const {
    const std::string path = Path(relative);
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) throw std::runtime_error("cannot create " + path);
    if (::ftruncate(fd, size) != 0) {
        ::close(fd);
        throw std::runtime_error("cannot size " + path);
    }
    ::close(fd);
}

void TempTree::Link(const std::string& relative, const std::string& target) const {
    if (::symlink(target.c_str(), Path(relative).c_str()) != 0) {
        throw std::runtime_error("cannot link " + relative);
    }
}

std::string TempTree::Read(const std::string& relative) const {
    std::ifstream in(Path(relative), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace doze::test
