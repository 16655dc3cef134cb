// The folder list: its lines, and how a folder is opened or only highlighted.
// (A folder that cannot be listed: the not-ready drive of tst_frm_main.)
#include <sys/stat.h>
#include <unistd.h>

#include <QtTest>

#include "app/folder_list.h"

using doze::FolderList;

class TestFolderList : public QObject {
    Q_OBJECT
  private:
    QTemporaryDir tree_;
    std::string music_;

    // Lines as "<indent><o|c> <text>", o for an open (ancestor) folder.
    static QStringList Lines(const FolderList& list) {
        QStringList lines;
        for (int row = 0; row < list.count(); ++row) {
            const QListWidgetItem* line = list.item(row);
            lines << QString(line->data(FolderList::kLevelRole).toInt(), ' ') +
                         (line->data(FolderList::kOpenRole).toBool() ? "o " : "c ") + line->text();
        }
        return lines;
    }

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

    // Ancestors from "/" down, one step further in each, then the subfolders
    // in the search's name order (the file left out, the link to a folder kept).
    void lines_show_ancestors_then_subfolders() {
        FolderList list;
        list.ShowFolder(music_);
        const QStringList lines = Lines(list);
        const int open = static_cast<int>(std::count(music_.begin(), music_.end(), '/')) + 1;
        QCOMPARE(lines.first(), QStringLiteral("o /"));
        QStringList expected{QString(open - 1, ' ') + "o music"};
        for (const char* name : {"Alpha", "beta", "gamma", "zlink"}) {
            expected << QString(open, ' ') + "c " + name;
        }
        QCOMPARE(lines.mid(open - 1), expected);
        QCOMPARE(list.currentRow(), open - 1);
    }

    // Enter opens the highlighted line, also a folder whose name is not valid
    // UTF-8, and goes no further (to the window's default button). (Clicks:
    // tst_frm_main.)
    void enter_opens_even_a_name_that_is_not_utf8() {
        const std::string odd = music_ + "/caf\xe9";
        QVERIFY(::mkdir(odd.c_str(), 0755) == 0);
        FolderList list;
        list.ShowFolder(music_);
        QSignalSpy changes(&list, &FolderList::Change);
        int row = 0;
        while (row < list.count() && list.LinePath(row) != odd) ++row;
        QVERIFY(row < list.count());
        list.setCurrentRow(row);
        QCOMPARE(changes.count(), 0);
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QCoreApplication::sendEvent(&list, &enter);
        QVERIFY(enter.isAccepted());
        QCOMPARE(list.Path(), odd);
        QCOMPARE(changes.count(), 1);
        QVERIFY(::rmdir(odd.c_str()) == 0);
    }
};

QTEST_MAIN(TestFolderList)
#include "tst_folder_list.moc"
