#include "app/folder_list.h"

#include <sys/stat.h>

#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QStyle>
#include <QStyledItemDelegate>

#include "search/dir_listing.h"
#include "search/errors.h"
#include "search/path_text.h"
#include "ui/platform_ui.h"

namespace doze {
namespace {

constexpr int kIndentStep = 8;

// Draws each line moved right by its indent level.
class IndentDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem moved(option);
        moved.rect.setLeft(moved.rect.left() +
                           kIndentStep * index.data(FolderList::kLevelRole).toInt());
        QStyledItemDelegate::paint(painter, moved, index);
    }
};

QString LastName(const std::string& path) {
    if (path == "/") return QStringLiteral("/");
    const auto slash = path.find_last_of('/');
    return QFile::decodeName(QByteArray::fromStdString(path.substr(slash + 1)));
}

// The text of the "Warning" box for a folder that cannot be opened.
QString FolderOpenFailureText(const std::string& path, int error) {
    return QString::fromLocal8Bit("Cannot open the folder \"" + path +
                                  "\": " + SystemErrorText(error) + ".");
}

}  // namespace

int ListSubfolders(const std::string& path, std::vector<std::string>& names) {
    FolderListing listing;
    if (!listing.Open(path)) return listing.Error();
    names.clear();
    for (const ListedEntry& entry : listing.Entries()) {
        if (entry.type == EntryType::Link) {
            struct stat info {};
            const std::string full = AddBackslash(path).append(entry.name);
            if (stat(full.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) continue;
        } else if (entry.type != EntryType::Folder) {
            continue;
        }
        names.emplace_back(entry.name);
    }
    return 0;
}

std::vector<std::string> AncestorPaths(const std::string& path) {
    std::vector<std::string> paths{"/"};
    std::size_t start = 1;
    while (start < path.size()) {
        std::size_t end = path.find('/', start);
        if (end == std::string::npos) end = path.size();
        if (end > start) paths.push_back(path.substr(0, end));
        start = end + 1;
    }
    return paths;
}

FolderList::FolderList(QWidget* parent) : QListWidget(parent) {
    setItemDelegate(new IndentDelegate(this));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformItemSizes(true);
    connect(this, &QListWidget::itemDoubleClicked, this, &FolderList::OpenLine);
}

int FolderList::SetPath(const std::string& path) {
    std::vector<std::string> names;
    if (const int error = ListSubfolders(path, names); error != 0) return error;
    Fill(path, names);
    emit Change();
    return 0;
}

void FolderList::ShowFolder(const std::string& path) {
    std::vector<std::string> names;
    ListSubfolders(path, names);
    Fill(path, names);
}

std::string FolderList::LinePath(int row) const {
    const QListWidgetItem* line = item(row);
    return line != nullptr ? line->data(kPathRole).toByteArray().toStdString() : std::string();
}

void FolderList::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (currentItem() != nullptr) OpenLine(currentItem());
        event->accept();
        return;
    }
    QListWidget::keyPressEvent(event);
}

void FolderList::OpenLine(QListWidgetItem* line) {
    const std::string path = line->data(kPathRole).toByteArray().toStdString();
    const int error = SetPath(path);
    if (error == 0) return;
    // The list stays on the folder last opened; so does the highlight.
    for (int row = count() - 1; row >= 0; --row) {
        if (item(row)->data(kOpenRole).toBool()) {
            setCurrentRow(row);
            break;
        }
    }
    Ui().ShowMessage(window(), FolderOpenFailureText(path, error), kStyleExclamation,
                     QStringLiteral("Warning"));
}

void FolderList::Fill(const std::string& path, const std::vector<std::string>& subfolders) {
    path_ = path;
    clear();
    const QIcon open = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closed = style()->standardIcon(QStyle::SP_DirClosedIcon);
    int level = 0;
    QListWidgetItem* current = nullptr;
    for (const std::string& ancestor : AncestorPaths(path)) {
        current = new QListWidgetItem(open, LastName(ancestor), this);
        current->setData(kPathRole, QByteArray::fromStdString(ancestor));
        current->setData(kLevelRole, level++);
        current->setData(kOpenRole, true);
    }
    for (const std::string& name : subfolders) {
        auto* line =
            new QListWidgetItem(closed, QFile::decodeName(QByteArray::fromStdString(name)), this);
        line->setData(kPathRole, QByteArray::fromStdString(AddBackslash(path) + name));
        line->setData(kLevelRole, level);
        line->setData(kOpenRole, false);
    }
    setCurrentItem(current);
    scrollToItem(current);
}

}  // namespace doze
