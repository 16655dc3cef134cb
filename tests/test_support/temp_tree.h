// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <string>

namespace doze::test {

// A folder tree made for one test, removed with everything in it afterwards.
class TempTree {
  public:
    TempTree();
    ~TempTree();
    TempTree(const TempTree&) = delete;
    TempTree& operator=(const TempTree&) = delete;

    // The tree's root, absolute, without a trailing separator.
    const std::string& Root() const { return root_; }
    std::string Path(const std::string& relative) const { return root_ + "/" + relative; }

    // Makes the folder (and those above it) below the root.
    void Folder(const std::string& relative) const;
    // Makes a file of `size` bytes (its folders too); sparse for large sizes.
    void File(const std::string& relative, std::int64_t size = 0) const;
    void Link(const std::string& relative, const std::string& target) const;
    // The whole file; empty when it does not exist.
    std::string Read(const std::string& relative) const;

  private:
    std::string root_;
};

}  // namespace doze::test
