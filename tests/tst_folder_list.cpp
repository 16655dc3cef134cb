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
    // UTF-8, and goes no further (to the window's default button). A folder
    // that cannot be listed (by an ordinary user) is not opened: a "Warning"
    // (48) names it and the cause; the path and the highlight stay. (Clicks:
    // tst_frm_main.)
    void enter_opens_data() {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<int>("error");  // 0: it opens
        QTest::newRow("name not UTF-8") << QByteArray("caf\xe9") << 0;
        QTest::newRow("no permission") << QByteArray("locked") << EACCES;
        QTest::newRow("removed since shown") << QByteArray("gone") << ENOENT;
    }
    void enter_opens() {
        QFETCH(QByteArray, name);
        QFETCH(int, error);
        const std::string folder = music_ + '/' + name.toStdString();
        QVERIFY(::mkdir(folder.c_str(), 0755) == 0);
        const int result = test::InChild([&] {
            doze::testing::ScriptedUi ui;
            FolderList list;
            list.ShowFolder(music_);
            const int shown = list.currentRow();
            for (int row = 0; row < list.count(); ++row) {
                if (list.LinePath(row) == folder) list.setCurrentRow(row);
            }
            if (error == ENOENT && ::rmdir(folder.c_str()) != 0) return 1;
            if (error == EACCES && (::chmod(folder.c_str(), 0) != 0 || !test::DropToOrdinaryUser()))
                return test::kSkipped;
            QSignalSpy changes(&list, &FolderList::Change);
            QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
            QCoreApplication::sendEvent(&list, &enter);
            if (!enter.isAccepted()) return 2;
            if (error == 0) return list.Path() == folder && changes.count() == 1 ? 0 : 3;
            const doze::testing::ShownMessage told = ui.messages.value(0);
            const QString cause = QString::fromLocal8Bit(doze::SystemErrorText(error));
            const bool warned = ui.messages.size() == 1 && told.style == 48 &&
                                told.title == "Warning" && told.text.contains(cause) &&
                                told.text.contains(QString::fromStdString(folder));
            return warned && list.Path() == music_ && list.currentRow() == shown &&
                           changes.isEmpty()
                       ? 0
                       : 4;
        });
        ::chmod(folder.c_str(), 0755);
        ::rmdir(folder.c_str());
        if (result == test::kSkipped) QSKIP("cannot give up root's rights here");
        QCOMPARE(result, 0);
    }
};

QTEST_MAIN(TestFolderList)
#include "tst_folder_list.moc"
