#pragma once
#include <QListWidget>
#include <string>

namespace doze {

// The folder list `Dir1`: the current folder's ancestors from "/" down, each
// one step further in with an open-folder icon, then its subfolders in listing
// order with a closed-folder icon. Double-click or Enter opens a line; a
// single click only highlights it. A folder that cannot be listed is not
// opened: a "Warning" box names it and the cause, and the list and its
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
};

// The subfolders of `path` in listing order (links to folders included), or
// the errno when it cannot be listed.
int ListSubfolders(const std::string& path, std::vector<std::string>& names);

// The folders from "/" down to `path` itself.
std::vector<std::string> AncestorPaths(const std::string& path);

}  // namespace doze
