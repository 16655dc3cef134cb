// The run behind "Go", played end to end with scripted answers.
#include <sys/stat.h>

#include <QtTest>
#include <QtWidgets>

#include "app/frm_progress.h"
#include "app/list_run.h"
#include "doubles/scripted_ui.h"
#include "output/list_writers.h"
#include "search/errors.h"
#include "search/walker.h"

using doze::ListFormat;

namespace {

std::string Bytes(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

QByteArray Read(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

bool Write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Progress windows still alive (deferred deletions done), or only the visible ones.
int ProgressWindows(bool visibleOnly) {
    if (!visibleOnly) QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    int count = 0;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (qobject_cast<doze::frmProgress*>(w) && (!visibleOnly || w->isVisible())) ++count;
    }
    return count;
}

// The list dozedozovo-list makes of `root`, for comparing bytes.
QByteArray Expected(const QString& root, ListFormat kind) {
    QProcess companion;
    companion.start(DOZE_LIST_PROGRAM,
                    {kind == ListFormat::Html ? "--html" : "--quiet", root, "-"});
    companion.waitForFinished();
    return companion.exitCode() == 0 ? companion.readAllStandardOutput() : QByteArray();
}

}  // namespace

class TestListRun : public QObject {
    Q_OBJECT
  private:
    QTemporaryDir dir_;
    QWidget owner_;
    doze::SearchState state_;
    doze::CommonDialog CD_;
    ListFormat kind_ = ListFormat::Text;
    // What the search saw when it started: FoundCount, the list's bound, and
    // the progress windows on screen (-1: the pointer was not busy, or the
    // search ran on the windows' thread).
    QList<std::int32_t> counts_, bounds_;
    QList<int> progress_;
    std::unique_ptr<doze::testing::ScriptedUi> ui_;

    QString Path(const QString& name) const { return dir_.filePath(name); }

    // The real search, on a thread other than the windows', except in a folder
    // named "broken", where it fails half-way. The windows are looked at from
    // their own thread meanwhile.
    void Search(doze::SearchParams& params, doze::SearchState& state) {
        counts_ << state.FoundCount;
        bounds_ << state.FoundList.UpperBound();
        const bool apart = QThread::currentThread() != owner_.thread();
        QMetaObject::invokeMethod(
            &owner_, [&] { progress_ << (ui_->busy && apart ? ProgressWindows(true) : -1); },
            apart ? Qt::BlockingQueuedConnection : Qt::DirectConnection);
        if (!params.Path.ends_with("/broken")) return doze::RunSearch(params, state);
        doze::AppendEntry(state, "half.mp3|10");
        throw doze::SearchFailure("Cannot read \"" + params.Path + "/half.mp3\".");
    }

    void Run(const QString& root) {
        state_.SearchRoot = Bytes(Path(root));
        doze::ListRunContext run{
            &owner_, state_, CD_, [this] { return kind_; },
            [this](auto& params, auto& state, auto*) { Search(params, state); }};
        doze::RunListGeneration(run);
    }

  private slots:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        // Where Qt's file dialog keeps its history: not in the user's home.
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir_.filePath("config")));
        for (const char* folder : {"empty", "folders/a/b", "folders/c", "music/Rock", "broken"}) {
            QVERIFY(QDir(dir_.path()).mkpath(folder));
        }
        QVERIFY(Write(Path("music/one.mp3"), QByteArray(4718592, 'x')));
        QVERIFY(Write(Path("music/Rock/two.MP3"), QByteArray(1000, 'y')));
    }
    void init() {
        ui_ = std::make_unique<doze::testing::ScriptedUi>();
        CD_ = doze::CommonDialog();
        counts_.clear();
        bounds_.clear();
        progress_.clear();
    }
    void cleanup() { ui_.reset(); }

    // One run per row, "<root> <name>", saving into a folder of its own:
    // `name` is what the Save-As dialog accepts there (none cancels; "." is
    // the folder itself; ".html" picks that list); `answer` 0 when nothing is
    // there before, else the answer to the overwrite question about the file
    // there; `shown` the dialog ("<title>: <filter>") and the boxes ("<title>
    // <style>: <text>"), "<dir>" standing for the temporary folder.
    void runs_data() {
        QTest::addColumn<QString>("run");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QStringList>("shown");
        const QString text = "Save as plain text: Text Files (*.txt)|*.txt";
        const QString html = "Save as HTML: HTML Files (*.html)|*.html";
        const QString done = "Complete 64: " + QString::fromStdString(doze::CompletionText(2));
        const QString asked = "Confirm Overwrite 36: File exists, do you want to overwrite it?";
        const QString none = "Complete 64: " + QString::fromStdString(doze::CompletionText(0));
        QTest::newRow("nothing found")
            << "empty a.txt" << 0
            << QStringList{"Failure 64: No MP3 files were found in the search path."};
        QTest::newRow("folders, no MP3 files") << "folders a.txt" << 0 << QStringList{text, none};
        QTest::newRow("text") << "music a.txt" << 0 << QStringList{text, done};
        QTest::newRow("html") << "music a.html" << 0 << QStringList{html, done};
        QTest::newRow("no extension") << "music mylist" << 0 << QStringList{text, done};
        QTest::newRow("cancel") << "music" << 0 << QStringList{text};
        QTest::newRow("No keeps it") << "music a.txt" << 7 << QStringList{text, asked};
        QTest::newRow("Yes replaces") << "music a.html" << 6 << QStringList{html, asked, done};
        QTest::newRow("hidden file") << "music .hidden" << 7 << QStringList{text, asked};
        QTest::newRow("folder chosen") << "music ." << 0
                                       << QStringList{text,
                                                      "Failure 48: Cannot write \"<dir>/out/"
                                                      "folder chosen/.\": it is a folder."};
        QTest::newRow("search failure")
            << "broken a.txt" << 0
            << QStringList{"Failure 48: Cannot read \"<dir>/broken/half.mp3\"."};
    }
    void runs() {
        QFETCH(QString, run);
        QFETCH(int, answer);
        QFETCH(QStringList, shown);
        const QString root = run.section(' ', 0, 0), name = run.section(' ', 1);
        const QString folder = Path(QStringLiteral("out/") + QTest::currentDataTag());
        const QString target = folder + '/' + name;
        QVERIFY(QDir().mkpath(folder));
        if (answer != 0) {
            QVERIFY(Write(target, "old contents"));
            ui_->answers << answer;
        }
        if (!name.isEmpty()) ui_->saveNames << target;
        kind_ = name.endsWith(".html") ? ListFormat::Html : ListFormat::Text;
        Run(root);

        QCOMPARE(progress_, QList<int>{1});
        QStringList got;
        for (const auto& d : ui_->saveDialogs) got << d.title + ": " + d.filter;
        for (const auto& m : ui_->messages) {
            got << QStringLiteral("%1 %2: %3").arg(m.title).arg(m.style).arg(m.text);
        }
        QCOMPARE(got.replaceInStrings(dir_.path(), "<dir>"), shown);
        // On disk, under the name as typed: the list where one was written,
        // the old file where No kept it, nothing else.
        const bool written = shown.last().startsWith("Complete");
        if (written) QCOMPARE(Read(target), Expected(Path(root), kind_));
        if (answer == 7) QCOMPARE(Read(target), QByteArray("old contents"));
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden),
                 written || answer ? QStringList{QFileInfo(target).fileName()} : QStringList{});
        // However it ends: progress window gone, pointer back, one yield, list erased.
        QCOMPARE(ProgressWindows(false), 0);
        QCOMPARE(ui_->pointerChanges, (QList<bool>{true, false}));
        QCOMPARE(ui_->yields, 1);
        QVERIFY(!state_.FoundList.IsDimensioned());
    }

    // Qt's own Save-As dialog opens, lists and closes in a folder that holds
    // a FIFO and a page of HTML without a suffix: it tells types from names
    // alone and never opens a file, which could block it for good.
    void save_dialog_reads_no_file() {
        ui_.reset();  // the desktop's own dialog
        const QString folder = Path("dialog");
        QVERIFY(QDir().mkpath(folder) && Write(folder + "/page", "<!DOCTYPE html><html></html>"));
        QCOMPARE(mkfifo(QFile::encodeName(folder + "/x.txt").constData(), 0600), 0);
        doze::SaveDialogRequest request{"Save as plain text", "All Files (*)|*", folder + "/y.txt"};
        QString listed;  // "<entry>, <type>", once the folder is listed
        QTimer closer;
        connect(&closer, &QTimer::timeout, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            auto* files = dialog ? dialog->findChild<QFileSystemModel*>() : nullptr;
            const QModelIndex listing = files ? files->index(folder) : QModelIndex();
            if (!listing.isValid() || files->rowCount(listing) == 0) return;
            const QModelIndex file = files->index(0, 0, listing);
            listed = file.data().toString() + ", " + files->type(file);
            dialog->reject();
        });
        closer.start(20);
        QVERIFY(!doze::Ui().ShowSaveDialog(&owner_, request));
        QCOMPARE(listed, QStringLiteral("page, File"));  // the FIFO is not listed
    }

    // The second run offers the first one's file name and starts afresh.
    void two_runs_in_a_row() {
        const QString first = Path("out/first.txt");
        ui_->saveNames << first << QString();
        Run("music");
        Run("folders");
        QCOMPARE(ui_->saveDialogs.size(), 2);
        QCOMPARE(
            (QStringList{ui_->saveDialogs[0].offeredFileName, ui_->saveDialogs[1].offeredFileName}),
            (QStringList{QString(), first}));
        QCOMPARE(counts_, (QList<std::int32_t>{0, 0}));  // the next entry goes to index 1
        QCOMPARE(bounds_, (QList<std::int32_t>{1000000, 1000000}));
    }
};

QTEST_MAIN(TestListRun)
#include "tst_list_run.moc"
