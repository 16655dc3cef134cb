// SPDX-License-Identifier: MIT
#pragma once
#include <QListWidget>
#include <functional>
#include <string>
#include <vector>

namespace doze {

// How the folder list reads a folder: the subfolders of a path, or the errno.
using FolderLister = std::function<int(const std::string& path, std::vector<std::string>& names)>;

// The folder list `Dir1`: the current folder's ancestors from "/" down, each
// one step further in with an open-folder icon, then its subfolders in
// natural order (NaturalLess) with a closed-folder icon; a name cut short
// shows whole in a tooltip. Double-click or Enter opens a line; a single
// click only highlights it. A folder is read off the window thread, with the
// busy pointer and the input held meanwhile. A folder that cannot be listed
// is not opened: a "Warning" box names it and the cause, and the list and its
// highlight stay on the folder last opened. Paths are byte strings, decoded
// for display.
class FolderList : public QListWidget {
    Q_OBJECT
  public:
    // Data roles of each line.
    static constexpr int kPathRole = Qt::UserRole;       // QByteArray, the line's folder
    static constexpr int kLevelRole = Qt::UserRole + 1;  // int, steps of indent
    static constexpr int kOpenRole = Qt::UserRole + 2;   // bool, an ancestor line

    explicit FolderList(QWidget* parent = nullptr);

    // How folders are read from now on; at first ListSubfolders.
    void SetLister(FolderLister lister) { lister_ = std::move(lister); }

    // The folder last opened.
    const std::string& Path() const { return path_; }

    // Opens `path`: lists it and emits Change. Returns 0, or the errno for why
    // it cannot be listed, and then nothing changes.
    int SetPath(const std::string& path);

    // Shows `path` as the current folder also when it cannot be listed (then
    // without subfolders); emits nothing. For the start.
    void ShowFolder(const std::string& path);

    // The folder on line `row`.
    std::string LinePath(int row) const;

  signals:
    // The path has changed (`Dir1_Change`).
    void Change();

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void OpenLine(QListWidgetItem* item);
    void Fill(const std::string& path, const std::vector<std::string>& subfolders);

    std::string path_;
    FolderLister lister_;
};

// The subfolders of `path` in listing order (links to folders included), or
// the errno when it cannot be listed.
int ListSubfolders(const std::string& path, std::vector<std::string>& names);

// Natural order of two names: runs of digits by their value ("Disc 2" before
// "Disc 10"), the rest without regard to case; names equal so by their code
// units.
bool NaturalLess(const QString& a, const QString& b);

// The folders from "/" down to `path` itself.
std::vector<std::string> AncestorPaths(const std::string& path);

}  // namespace doze
