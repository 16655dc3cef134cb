// The folder list: its lines, and how a folder is opened or only highlighted.
#include <sys/stat.h>
#include <unistd.h>

#include <QtTest>
#include <cerrno>

#include "app/folder_list.h"

using doze::FolderList;

namespace {

QStringList Texts(const FolderList& list) {
    QStringList texts;
    for (int row = 0; row < list.count(); ++row) texts << list.item(row)->text();
    return texts;
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
        QVERIFY(root.mkpath("music/gamma/inner") && root.mkpath("music/Alpha") &&
                root.mkpath("music/beta"));
        QVERIFY(QFile(root.filePath("music/song.mp3")).open(QIODevice::WriteOnly));
        QVERIFY(QFile::link(root.filePath("music/Alpha"), root.filePath("music/zlink")));
        music_ = QFile::encodeName(root.filePath("music")).toStdString();
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
        const int open = static_cast<int>(doze::AncestorPaths(music_).size());
        const QStringList texts = Texts(list);
        QCOMPARE(texts.first(), QStringLiteral("/"));
        QCOMPARE(texts.at(open - 1), QStringLiteral("music"));
        // Subfolders in the search's name order, the file left out, the link to a folder kept.
        QCOMPARE(texts.mid(open), (QStringList{"Alpha", "beta", "gamma", "zlink"}));
        for (int row = 0; row < list.count(); ++row) {
            QCOMPARE(list.item(row)->data(FolderList::kLevelRole).toInt(), std::min(row, open));
            QCOMPARE(list.item(row)->data(FolderList::kOpenRole).toBool(), row < open);
        }
        QCOMPARE(list.currentRow(), open - 1);
        QCOMPARE(list.LinePath(open), music_ + "/Alpha");
    }

    // A single click highlights; a double click, or Enter, opens the line.
    void click_highlights_double_click_and_enter_open() {
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

        list.setCurrentRow(static_cast<int>(doze::AncestorPaths(music_).size()) - 1);  // "music"
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QCoreApplication::sendEvent(&list, &enter);
        QVERIFY(enter.isAccepted());  // goes no further, to the window's default button
        QCOMPARE(list.Path(), music_);
        QCOMPARE(changes.count(), 2);
    }

    // A name that is not valid UTF-8 opens; a folder that cannot be listed changes nothing.
    void set_path() {
        const std::string odd = music_ + "/caf\xe9";
        QVERIFY(::mkdir(odd.c_str(), 0755) == 0);
        FolderList list;
        list.ShowFolder(music_);
        const QStringList before = Texts(list);
        QSignalSpy changes(&list, &FolderList::Change);
        QCOMPARE(list.SetPath(music_ + "/missing"), ENOENT);
        QCOMPARE(list.Path(), music_);
        QCOMPARE(Texts(list), before);
        QCOMPARE(changes.count(), 0);
        int row = -1;
        for (int r = 0; r < list.count(); ++r) {
            if (list.LinePath(r) == odd) row = r;
        }
        QVERIFY(row >= 0);
        QCOMPARE(list.SetPath(list.LinePath(row)), 0);
        QCOMPARE(list.Path(), odd);
        QVERIFY(::rmdir(odd.c_str()) == 0);
    }
};

QTEST_MAIN(TestFolderList)
#include "tst_folder_list.moc"
