// The folder list: its lines, and how a folder is opened or only highlighted.
#include <sys/stat.h>
#include <unistd.h>

#include <QtTest>
#include <cerrno>

#include "app/folder_list.h"

using doze::FolderList;

namespace {

std::string Bytes(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

QStringList Texts(const FolderList& list) {
    QStringList texts;
    for (int row = 0; row < list.count(); ++row) texts << list.item(row)->text();
    return texts;
}

QList<int> Levels(const FolderList& list) {
    QList<int> levels;
    for (int row = 0; row < list.count(); ++row) {
        levels << list.item(row)->data(FolderList::kLevelRole).toInt();
    }
    return levels;
}

}  // namespace

class TestFolderList : public QObject {
    Q_OBJECT
  private:
    QTemporaryDir tree_;
    std::string music_;

  private slots:
    void initTestCase() {
        QVERIFY(tree_.isValid());
        QDir root(tree_.path());
        QVERIFY(root.mkpath("music/gamma/inner"));
        QVERIFY(root.mkpath("music/Alpha"));
        QVERIFY(root.mkpath("music/beta"));
        QFile file(root.filePath("music/song.mp3"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(QFile::link(root.filePath("music/Alpha"), root.filePath("music/zlink")));
        music_ = Bytes(root.filePath("music"));
    }

    void ancestors_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QStringList>("ancestors");
        QTest::newRow("root") << "/" << QStringList{"/"};
        QTest::newRow("one down") << "/home" << QStringList{"/", "/home"};
        QTest::newRow("three down") << "/a/b c/d" << QStringList{"/", "/a", "/a/b c", "/a/b c/d"};
        QTest::newRow("doubled separator") << "/a//b" << QStringList{"/", "/a", "/a//b"};
    }
    void ancestors() {
        QFETCH(QString, path);
        QFETCH(QStringList, ancestors);
        QStringList got;
        for (const auto& p : doze::AncestorPaths(path.toStdString())) {
            got << QString::fromStdString(p);
        }
        QCOMPARE(got, ancestors);
    }

    void lines_show_ancestors_then_subfolders() {
        FolderList list;
        QSignalSpy changes(&list, &FolderList::Change);
        list.ShowFolder(music_);
        QCOMPARE(changes.count(), 0);
        QCOMPARE(list.Path(), music_);
        const auto ancestors = doze::AncestorPaths(music_);
        const int open = static_cast<int>(ancestors.size());
        QStringList texts = Texts(list);
        QCOMPARE(texts.first(), QStringLiteral("/"));
        QCOMPARE(texts.at(open - 1), QStringLiteral("music"));
        // Subfolders in the search's name order, the file left out, the link to a folder kept.
        QCOMPARE(texts.mid(open), (QStringList{"Alpha", "beta", "gamma", "zlink"}));
        QList<int> levels = Levels(list);
        for (int row = 0; row < open; ++row) {
            QCOMPARE(levels.at(row), row);
            QVERIFY(list.item(row)->data(FolderList::kOpenRole).toBool());
        }
        for (int row = open; row < list.count(); ++row) {
            QCOMPARE(levels.at(row), open);
            QVERIFY(!list.item(row)->data(FolderList::kOpenRole).toBool());
        }
        QCOMPARE(list.currentRow(), open - 1);
        QCOMPARE(list.LinePath(open), music_ + "/Alpha");
    }

    void single_click_highlights_double_click_opens() {
        FolderList list;
        list.resize(200, 400);
        list.ShowFolder(music_);
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        QSignalSpy changes(&list, &FolderList::Change);
        const int gamma = list.count() - 2;
        const QPoint at = list.visualItemRect(list.item(gamma)).center();
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, at);
        QCOMPARE(list.currentRow(), gamma);
        QCOMPARE(list.Path(), music_);
        QCOMPARE(changes.count(), 0);
        QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, at);
        QCOMPARE(list.Path(), music_ + "/gamma");
        QCOMPARE(changes.count(), 1);
        QCOMPARE(list.item(list.count() - 1)->text(), QStringLiteral("inner"));
    }

    void enter_opens_the_highlighted_line_and_goes_no_further() {
        QWidget holder;
        auto* list = new FolderList(&holder);
        list->ShowFolder(music_ + "/gamma");
        holder.show();
        list->setFocus();
        QSignalSpy changes(list, &FolderList::Change);
        const auto ancestors = doze::AncestorPaths(music_);
        list->setCurrentRow(static_cast<int>(ancestors.size()) - 1);  // the "music" line
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QCoreApplication::sendEvent(list, &enter);
        QVERIFY(enter.isAccepted());
        QCOMPARE(list->Path(), music_);
        QCOMPARE(changes.count(), 1);
    }

    void folder_with_name_not_valid_utf8_opens() {
        const std::string odd = music_ + "/caf\xe9";
        QVERIFY(::mkdir(odd.c_str(), 0755) == 0);
        FolderList list;
        list.ShowFolder(music_);
        int row = -1;
        for (int r = 0; r < list.count(); ++r) {
            if (list.LinePath(r) == odd) row = r;
        }
        QVERIFY(row >= 0);
        QCOMPARE(list.SetPath(list.LinePath(row)), 0);
        QCOMPARE(list.Path(), odd);
        QVERIFY(::rmdir(odd.c_str()) == 0);
    }

    void folder_that_cannot_be_listed_changes_nothing() {
        FolderList list;
        list.ShowFolder(music_);
        const QStringList before = Texts(list);
        QSignalSpy changes(&list, &FolderList::Change);
        QCOMPARE(list.SetPath(music_ + "/missing"), ENOENT);
        QCOMPARE(list.Path(), music_);
        QCOMPARE(Texts(list), before);
        QCOMPARE(changes.count(), 0);
    }
};

QTEST_MAIN(TestFolderList)
#include "tst_folder_list.moc"
