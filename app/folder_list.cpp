// SPDX-License-Identifier: MIT
#include "app/folder_list.h"

#include <sys/stat.h>

#include <QApplication>
#include <QFile>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QToolTip>
#include <algorithm>

#include "app/search_thread.h"
#include "search/dir_listing.h"
#include "search/errors.h"
#include "search/path_text.h"
#include "ui/platform_ui.h"
#include "ui/window_look.h"

namespace doze {
namespace {

constexpr int kIndentStep = 120;  // twips a level of the tree moves a line right

// Draws each line moved right by its indent level; a line cut short at the
// right edge shows whole in a tooltip.
class IndentDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyledItemDelegate::paint(painter, Indented(option, index), index);
    }
    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override {
        if (event->type() != QEvent::ToolTip) {
            return QStyledItemDelegate::helpEvent(event, view, option, index);
        }
        const QStyleOptionViewItem shown = Indented(option, index);
        if (sizeHint(shown, index).width() > shown.rect.width()) {
            QToolTip::showText(event->globalPos(), index.data().toString(), view);
        } else {
            QToolTip::hideText();
        }
        return true;
    }

  private:
    static QStyleOptionViewItem Indented(const QStyleOptionViewItem& option,
                                         const QModelIndex& index) {
        QStyleOptionViewItem moved(option);
        moved.rect.setLeft(moved.rect.left() +
                           Twips(kIndentStep * index.data(FolderList::kLevelRole).toInt()));
        return moved;
    }
};

bool IsDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

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
    if (const Result<void> opened = listing.Open(path); !opened) return opened.Error().code;
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

bool NaturalLess(const QString& a, const QString& b) {
    qsizetype i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (IsDigit(a[i]) && IsDigit(b[j])) {
            // Numbers: the one with more digits (leading zeros aside) is larger.
            while (i + 1 < a.size() && a[i] == u'0' && IsDigit(a[i + 1])) ++i;
            while (j + 1 < b.size() && b[j] == u'0' && IsDigit(b[j + 1])) ++j;
            qsizetype endA = i, endB = j;
            while (endA < a.size() && IsDigit(a[endA])) ++endA;
            while (endB < b.size() && IsDigit(b[endB])) ++endB;
            const QStringView x = QStringView(a).sliced(i, endA - i);
            const QStringView y = QStringView(b).sliced(j, endB - j);
            if (x.size() != y.size()) return x.size() < y.size();
            if (const int order = x.compare(y); order != 0) return order < 0;
            i = endA;
            j = endB;
            continue;
        }
        const char32_t x = a[i++].toCaseFolded().unicode(), y = b[j++].toCaseFolded().unicode();
        if (x != y) return x < y;
    }
    if (a.size() - i != b.size() - j) return a.size() - i < b.size() - j;
    return a < b;
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

FolderList::FolderList(QWidget* parent) : QListWidget(parent), lister_(ListSubfolders) {
    setItemDelegate(new IndentDelegate(this));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformItemSizes(true);
    connect(this, &QListWidget::itemDoubleClicked, this, &FolderList::OpenLine);
}

int FolderList::SetPath(const std::string& path) {
    std::vector<std::string> names;
    int error = 0;
    // A folder on a slow or hung share must not stop the window painting.
    WaitOffWindowThread([&] { error = lister_(path, names); });
    if (error != 0) return error;
    Fill(path, names);
    emit Change();
    return 0;
}

void FolderList::ShowFolder(const std::string& path) {
    std::vector<std::string> names;
    lister_(path, names);
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
    std::vector<std::pair<QString, const std::string*>> shown;
    shown.reserve(subfolders.size());
    for (const std::string& name : subfolders) {
        shown.emplace_back(QFile::decodeName(QByteArray::fromStdString(name)), &name);
    }
    std::sort(shown.begin(), shown.end(),
              [](const auto& a, const auto& b) { return NaturalLess(a.first, b.first); });
    for (const auto& [text, name] : shown) {
        auto* line = new QListWidgetItem(closed, text, this);
        line->setData(kPathRole, QByteArray::fromStdString(AddBackslash(path) + *name));
        line->setData(kLevelRole, level);
        line->setData(kOpenRole, false);
    }
    setCurrentItem(current);
    scrollToItem(current);
}

}  // namespace doze
