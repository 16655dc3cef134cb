// The run behind "Go", played end to end with scripted answers.
#include <QtTest>

#include "app/frm_progress.h"
#include "app/list_run.h"
#include "app/testing/scripted_ui.h"
#include "output/list_writers.h"
#include "output/safe_file.h"
#include "output/size_format.h"
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

class Silent : public doze::CompletionReporter {
  public:
    void ListComplete(std::int32_t) override {}
};

// What the writer makes of `root` on its own, for comparing bytes.
QByteArray Expected(const QString& root, ListFormat kind, const QString& scratch) {
    doze::SearchState state;
    doze::SearchParams params;
    state.SearchRoot = Bytes(root);
    doze::BeginRun(state, params);
    doze::RunSearch(params, state);
    if (!doze::EndSearch(state)) return {};
    const doze::ListJob job{state.SearchRoot, &state.FoundList, doze::LocaleDecimalSeparator()};
    Silent silent;
    doze::WriteList(kind, job, Bytes(scratch), silent);
    return Read(scratch);
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
    doze::SearchFunction search_;
    // What the search saw when it started, and what was on screen then.
    struct {
        QList<std::int32_t> counts, bounds;
        QList<int> progress;
        QList<bool> busy;
    } seen_;
    std::unique_ptr<doze::testing::ScriptedUi> ui_;

    QString Path(const QString& name) const { return dir_.filePath(name); }

    void Run(const QString& root) {
        state_.SearchRoot = Bytes(Path(root));
        doze::ListRunContext run{&owner_, state_, CD_, [this] { return kind_; }, search_};
        doze::RunListGeneration(run);
    }

    // How every single run ends: progress window gone, pointer back, one
    // yield, the list erased.
    void CheckIdleAfterRun() {
        QCOMPARE(ProgressWindows(false), 0);
        QCOMPARE(ui_->pointerChanges, (QList<bool>{true, false}));
        QCOMPARE(ui_->yields, 1);
        QVERIFY(!state_.FoundList.IsDimensioned());
    }

  private slots:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        for (const char* folder : {"empty", "folders/a/b", "folders/c", "music/Rock", "out"}) {
            QVERIFY(QDir(dir_.path()).mkpath(folder));
        }
        QVERIFY(Write(Path("music/one.mp3"), QByteArray(4718592, 'x')));
        QVERIFY(Write(Path("music/Rock/two.MP3"), QByteArray(1000, 'y')));
        QVERIFY(Write(Path("music/notes.txt"), "no"));
        QVERIFY(QFile::link(Path("gone"), Path("dangling")));
    }

    void init() {
        ui_ = std::make_unique<doze::testing::ScriptedUi>();
        CD_ = doze::CommonDialog();
        kind_ = ListFormat::Text;
        seen_ = {};
        search_ = [this](doze::SearchParams& params, doze::SearchState& state) {
            seen_.counts << state.FoundCount;
            seen_.bounds << state.FoundList.UpperBound();
            seen_.progress << ProgressWindows(true);
            seen_.busy << ui_->busy;
            QCOMPARE(params.Pattern, std::string("*.mp3"));
            doze::RunSearch(params, state);
        };
    }
    void cleanup() { ui_.reset(); }

    // One run per row, saving into a folder of its own: `name` is what the
    // Save-As dialog accepts there ("" cancels; a trailing "/" makes it a
    // folder first); `answer` 0 when nothing is there before, else the answer
    // to the overwrite question about the file there; `shown` the boxes.
    void runs_data() {
        QTest::addColumn<QString>("root");
        QTest::addColumn<bool>("html");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QStringList>("shown");
        const QStringList done{"Complete 64"}, failed{"Failure 48"}, asked{"Confirm Overwrite 36"};
        QTest::newRow("nothing found")
            << "empty" << false << "a.txt" << 0 << QStringList{"Failure 64"};
        QTest::newRow("folders, no MP3 files") << "folders" << false << "a.txt" << 0 << done;
        QTest::newRow("text") << "music" << false << "a.txt" << 0 << done;
        QTest::newRow("html") << "music" << true << "a.html" << 0 << done;
        QTest::newRow("name without extension") << "music" << false << "mylist" << 0 << done;
        QTest::newRow("cancel") << "music" << false << "" << 0 << QStringList{};
        QTest::newRow("No keeps the file") << "music" << false << "a.txt" << 7 << asked;
        QTest::newRow("Yes replaces it") << "music" << true << "a.txt" << 6 << asked + done;
        QTest::newRow("hidden file, No") << "music" << false << ".hidden" << 7 << asked;
        QTest::newRow("hidden file, Yes") << "music" << false << ".hidden" << 6 << asked + done;
        QTest::newRow("folder chosen") << "music" << false << "taken/" << 0 << failed;
        QTest::newRow("missing folder") << "music" << false << "none/a.txt" << 0 << failed;
    }
    void runs() {
        QFETCH(QString, root);
        QFETCH(bool, html);
        QFETCH(QString, name);
        QFETCH(int, answer);
        QFETCH(QStringList, shown);
        const QString folder = Path(QStringLiteral("out/") + QTest::currentDataTag());
        QString target = folder + '/' + name;
        QVERIFY(QDir().mkpath(folder));
        if (name.endsWith('/')) {
            target.chop(1);
            QVERIFY(QDir().mkdir(target));
        }
        if (answer != 0) {
            QVERIFY(Write(target, "old contents"));
            ui_->answers << answer;
        }
        if (!name.isEmpty()) ui_->saveNames << target;
        kind_ = html ? ListFormat::Html : ListFormat::Text;
        Run(root);

        QCOMPARE(seen_.progress, QList<int>{1});
        QCOMPARE(seen_.busy, QList<bool>{true});
        QStringList got;
        for (const auto& m : ui_->messages) got << m.title + ' ' + QString::number(m.style);
        QCOMPARE(got, shown);
        for (const auto& m : ui_->messages) {
            if (m.title == "Complete") {
                QCOMPARE(m.text,
                         QString::fromStdString(doze::CompletionText(root == "music" ? 2 : 0)));
            } else if (m.title == "Confirm Overwrite") {
                QCOMPARE(m.text, QStringLiteral("File exists, do you want to overwrite it?"));
            } else if (m.style == 64) {
                QCOMPARE(m.text, QStringLiteral("No MP3 files were found in the search path."));
            } else {
                QVERIFY2(m.text.contains(target), qPrintable(m.text));
            }
        }
        const bool found = root != "empty";
        QCOMPARE(ui_->saveDialogs.size(), found ? 1 : 0);
        if (found) {
            QCOMPARE(ui_->saveDialogs[0].title, html ? "Save as HTML" : "Save as plain text");
            QCOMPARE(ui_->saveDialogs[0].filter,
                     html ? "HTML Files (*.html)|*.html" : "Text Files (*.txt)|*.txt");
            QVERIFY(CD_.CancelError);
            if (!name.isEmpty()) QCOMPARE(CD_.FileName, target);  // as typed, nothing added
        }
        // On disk: the list where one was written, the old file where No kept it, nothing else.
        const bool written = shown.endsWith("Complete 64");
        if (written) QCOMPARE(Read(target), Expected(Path(root), kind_, Path("reference")));
        if (answer == 7) QCOMPARE(Read(target), QByteArray("old contents"));
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden),
                 written || answer ? QStringList{QFileInfo(target).fileName()} : QStringList{});
        QVERIFY(!name.endsWith('/') || QFileInfo(target).isDir());
        CheckIdleAfterRun();
    }

    void two_runs_in_a_row() {
        const QString first = Path("out/first.txt");
        ui_->saveNames << first << QString();
        Run("music");
        kind_ = ListFormat::Html;
        Run("folders");
        QCOMPARE(ui_->saveDialogs.size(), 2);
        QVERIFY(ui_->saveDialogs[0].offeredFileName.isEmpty());
        QCOMPARE(ui_->saveDialogs[1].offeredFileName, first);
        QCOMPARE(ui_->saveDialogs[1].title, QStringLiteral("Save as HTML"));
        QCOMPARE(seen_.counts, (QList<std::int32_t>{0, 0}));
        QCOMPARE(seen_.bounds, (QList<std::int32_t>{1000000, 1000000}));
        QCOMPARE(state_.FoundCount, 3);  // a, a/b, c of the second tree
        QVERIFY(!state_.FoundList.IsDimensioned());
    }

    void search_failure_ends_the_run_with_a_message() {
        search_ = [this](doze::SearchParams& params, doze::SearchState& state) {
            seen_.progress << ProgressWindows(true);
            doze::AppendEntry(state, "half.mp3|10");
            throw doze::SearchFailure("Cannot read the length of \"" + params.Path +
                                      "/half.mp3\": Input/output error.");
        };
        Run("music");
        QCOMPARE(seen_.progress, QList<int>{1});
        QCOMPARE(ui_->messages.size(), 1);
        QCOMPARE(ui_->messages[0].title, QStringLiteral("Failure"));
        QCOMPARE(ui_->messages[0].style, 48);
        QVERIFY(ui_->messages[0].text.contains(Path("music") + "/half.mp3"));
        QVERIFY(ui_->saveDialogs.isEmpty());
        CheckIdleAfterRun();
    }

    // The existence test of the save flow also sees a dangling link (the runs
    // above cover files, hidden files, folders and nothing).
    void existence_test() {
        QVERIFY(doze::TargetExists(Bytes(Path("dangling"))));
        QVERIFY(!doze::TargetExists(Bytes(Path("music/Rock"))));
    }
};

QTEST_MAIN(TestListRun)
#include "tst_list_run.moc"
