// The folder list: its lines, and how a folder is opened or only highlighted.
#include <sys/stat.h>
#include <unistd.h>

#include <QtTest>
#include <cerrno>

#include "app/folder_list.h"
#include "doubles/scripted_ui.h"
#include "search/errors.h"
#include "test_support/child.h"

using doze::FolderList;
namespace test = doze::test;

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
        QVERIFY(::chmod(QFile::encodeName(tree_.path()).constData(), 0755) == 0);
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

    // Enter on a folder that cannot be listed (as an ordinary user) opens
    // nothing: a "Warning" (48) names the folder and the cause, and the path
    // and the highlight stay on the folder last opened.
    void unlistable_folder_warns_and_stays_data() {
        QTest::addColumn<bool>("removed");  // else its rights taken away
        QTest::addColumn<int>("error");
        QTest::newRow("no permission") << false << EACCES;
        QTest::newRow("removed since shown") << true << ENOENT;
    }
    void unlistable_folder_warns_and_stays() {
        QFETCH(bool, removed);
        QFETCH(int, error);
        const std::string locked = music_ + "/locked";
        QVERIFY(::mkdir(locked.c_str(), 0755) == 0);
        const int result = test::InChild([&] {
            doze::testing::ScriptedUi ui;
            FolderList list;
            list.ShowFolder(music_);
            const int shown = list.currentRow();
            for (int row = 0; row < list.count(); ++row) {
                if (list.LinePath(row) == locked) list.setCurrentRow(row);
            }
            if (removed ? ::rmdir(locked.c_str()) != 0 : ::chmod(locked.c_str(), 0) != 0) return 1;
            if (!removed && !test::DropToOrdinaryUser()) return test::kSkipped;
            QSignalSpy changes(&list, &FolderList::Change);
            QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
            QCoreApplication::sendEvent(&list, &enter);
            const QString text = ui.messages.value(0).text;
            const bool told = ui.messages.size() == 1 && ui.messages[0].style == 48 &&
                              ui.messages[0].title == "Warning" &&
                              text.contains(QString::fromStdString(locked)) &&
                              text.contains(QString::fromLocal8Bit(doze::SystemErrorText(error)));
            if (!told) return 2;
            return list.Path() == music_ && list.currentRow() == shown && changes.isEmpty() ? 0 : 3;
        });
        ::chmod(locked.c_str(), 0755);
        ::rmdir(locked.c_str());
        if (result == test::kSkipped) QSKIP("cannot give up root's rights here");
        QCOMPARE(result, 0);
    }
};

QTEST_MAIN(TestFolderList)
#include "tst_folder_list.moc"
