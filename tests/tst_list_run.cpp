// The run behind "Go", played end to end with scripted answers.
#include <QtTest>

#include "app/frm_progress.h"
#include "app/list_run.h"
#include "app/testing/scripted_ui.h"
#include "output/list_writers.h"
#include "output/size_format.h"
#include "search/errors.h"
#include "search/walker.h"

using doze::ListKind;
using doze::testing::ScriptedUi;

namespace {

const QString kNothingFound = QStringLiteral("No MP3 files were found in the search path.");

std::string Bytes(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

QByteArray Read(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void Write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

int VisibleProgressWindows() {
    int count = 0;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (qobject_cast<doze::frmProgress*>(w) != nullptr && w->isVisible()) ++count;
    }
    return count;
}

int ProgressWindows() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    int count = 0;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (qobject_cast<doze::frmProgress*>(w) != nullptr) ++count;
    }
    return count;
}

class Silent : public doze::CompletionReporter {
  public:
    void ListComplete(std::int32_t) override {}
};

// What the writer makes of `root` on its own, for comparing bytes.
QByteArray Expected(const std::string& root, ListKind kind, const QString& scratch) {
    doze::SearchState state;
    doze::SearchParams params;
    state.SearchRoot = root;
    doze::BeginRun(state, params);
    doze::RunSearch(params, state);
    if (!doze::EndSearch(state)) return {};
    const doze::ListJob job{state.SearchRoot, &state.FoundList, doze::LocaleDecimalSeparator()};
    Silent silent;
    if (kind == ListKind::Html) {
        doze::WriteHtmlList(job, Bytes(scratch), silent);
    } else {
        doze::WriteTextList(job, Bytes(scratch), silent);
    }
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
    ListKind kind_ = ListKind::Text;
    doze::SearchFunction search_;
    // What the search saw when it started, and what was on screen then.
    QList<std::int32_t> countsAtStart_;
    QList<std::int32_t> boundsAtStart_;
    QList<int> progressDuringSearch_;
    QList<bool> busyDuringSearch_;
    ScriptedUi* ui_ = nullptr;

    QString Path(const QString& name) const { return dir_.filePath(name); }

    void Run(const QString& root) {
        state_.SearchRoot = Bytes(root);
        doze::ListRunContext run{&owner_, state_, CD_, [this] { return kind_; }, search_};
        doze::RunListGeneration(run);
    }

    void CheckIdleAfterRun() {
        QCOMPARE(VisibleProgressWindows(), 0);
        QCOMPARE(ProgressWindows(), 0);
        QVERIFY(!ui_->busy);
        QCOMPARE(ui_->yields, 1);
        QVERIFY(!state_.FoundList.IsDimensioned());
    }

  private slots:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        QDir root(dir_.path());
        QVERIFY(root.mkpath("empty"));
        QVERIFY(root.mkpath("folders/a/b"));
        QVERIFY(root.mkpath("folders/c"));
        QVERIFY(root.mkpath("music/Rock"));
        QVERIFY(root.mkpath("out"));
        Write(Path("music/one.mp3"), QByteArray(4718592, 'x'));
        Write(Path("music/Rock/two.MP3"), QByteArray(1000, 'y'));
        Write(Path("music/notes.txt"), "no");
    }

    void init() {
        ui_ = new ScriptedUi;
        CD_ = doze::CommonDialog();
        kind_ = ListKind::Text;
        countsAtStart_.clear();
        boundsAtStart_.clear();
        progressDuringSearch_.clear();
        busyDuringSearch_.clear();
        search_ = [this](doze::SearchParams& params, doze::SearchState& state) {
            countsAtStart_ << state.FoundCount;
            boundsAtStart_ << state.FoundList.UpperBound();
            progressDuringSearch_ << VisibleProgressWindows();
            busyDuringSearch_ << ui_->busy;
            QCOMPARE(params.Pattern, std::string("*.mp3"));
            doze::RunSearch(params, state);
        };
    }
    void cleanup() {
        delete ui_;
        ui_ = nullptr;
    }

    void nothing_found_says_so_without_a_dialog() {
        Run(Path("empty"));
        QCOMPARE(progressDuringSearch_, QList<int>{1});
        QCOMPARE(busyDuringSearch_, QList<bool>{true});
        QCOMPARE(ui_->messages.size(), 1);
        QCOMPARE(ui_->messages[0].text, kNothingFound);
        QCOMPARE(ui_->messages[0].title, QStringLiteral("Failure"));
        QCOMPARE(ui_->messages[0].style, 64);
        QVERIFY(ui_->saveDialogs.isEmpty());
        QCOMPARE(ui_->pointerChanges, (QList<bool>{true, false}));
        CheckIdleAfterRun();
    }

    void folders_without_mp3_files_are_listed_with_count_0() {
        ui_->saveNames << Path("out/folders.txt");
        Run(Path("folders"));
        QCOMPARE(ui_->saveDialogs.size(), 1);
        QCOMPARE(ui_->messages.size(), 1);
        QCOMPARE(ui_->messages[0].text, QString::fromStdString(doze::CompletionText(0)));
        QCOMPARE(ui_->messages[0].title, QStringLiteral("Complete"));
        QCOMPARE(ui_->messages[0].style, 64);
        QCOMPARE(Read(Path("out/folders.txt")),
                 Expected(Bytes(Path("folders")), ListKind::Text, Path("out/ref.txt")));
        CheckIdleAfterRun();
    }

    void flows_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("filter");
        QTest::newRow("text") << int(ListKind::Text) << "Save as plain text"
                              << "Text Files (*.txt)|*.txt";
        QTest::newRow("html") << int(ListKind::Html) << "Save as HTML"
                              << "HTML Files (*.html)|*.html";
    }
    void flows() {
        QFETCH(int, kind);
        QFETCH(QString, title);
        QFETCH(QString, filter);
        kind_ = static_cast<ListKind>(kind);
        const QString target = Path("out/flow-" + title);
        ui_->saveNames << target;
        Run(Path("music"));
        QCOMPARE(ui_->saveDialogs.size(), 1);
        QCOMPARE(ui_->saveDialogs[0].title, title);
        QCOMPARE(ui_->saveDialogs[0].filter, filter);
        QVERIFY(CD_.CancelError);
        QCOMPARE(ui_->messages.size(), 1);
        QCOMPARE(ui_->messages[0].text, QString::fromStdString(doze::CompletionText(2)));
        QCOMPARE(Read(target), Expected(Bytes(Path("music")), kind_, Path("out/ref")));
        CheckIdleAfterRun();
    }

    void cancel_is_silent() {
        const QStringList before = QDir(Path("out")).entryList(QDir::Files | QDir::Hidden);
        Run(Path("music"));
        QCOMPARE(ui_->saveDialogs.size(), 1);
        QVERIFY(ui_->messages.isEmpty());
        QCOMPARE(QDir(Path("out")).entryList(QDir::Files | QDir::Hidden), before);
        CheckIdleAfterRun();
    }

    void overwrite_question_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("answer");
        QTest::newRow("No keeps the file") << "kept.txt" << 7;
        QTest::newRow("Yes replaces it") << "replaced.txt" << 6;
        QTest::newRow("hidden file is asked about too, No") << ".hidden-no" << 7;
        QTest::newRow("hidden file is asked about too, Yes") << ".hidden-yes" << 6;
    }
    void overwrite_question() {
        QFETCH(QString, name);
        QFETCH(int, answer);
        const QString target = Path("out/" + name);
        Write(target, "old contents");
        ui_->saveNames << target;
        ui_->answers << answer;
        Run(Path("music"));
        QVERIFY(ui_->messages.size() >= 1);
        QCOMPARE(ui_->messages[0].text,
                 QStringLiteral("File exists, do you want to overwrite it?"));
        QCOMPARE(ui_->messages[0].title, QStringLiteral("Confirm Overwrite"));
        QCOMPARE(ui_->messages[0].style, 36);
        QCOMPARE(ui_->saveDialogs.size(), 1);
        if (answer == 7) {
            QCOMPARE(ui_->messages.size(), 1);
            QCOMPARE(Read(target), QByteArray("old contents"));
        } else {
            QCOMPARE(ui_->messages.size(), 2);
            QCOMPARE(ui_->messages[1].title, QStringLiteral("Complete"));
            QCOMPARE(Read(target), Expected(Bytes(Path("music")), ListKind::Text, Path("out/ref")));
        }
        CheckIdleAfterRun();
    }

    void typed_name_without_extension_is_kept() {
        const QString target = Path("out/mylist");
        ui_->saveNames << target;
        Run(Path("music"));
        QVERIFY(QFileInfo(target).isFile());
        QVERIFY(!QFileInfo::exists(target + ".txt"));
        QCOMPARE(CD_.FileName, target);
    }

    void folder_chosen_is_a_write_failure() {
        const QString target = Path("out");
        ui_->saveNames << target;
        Run(Path("music"));
        QCOMPARE(ui_->messages.size(), 1);
        QCOMPARE(ui_->messages[0].title, QStringLiteral("Failure"));
        QCOMPARE(ui_->messages[0].style, 48);
        QVERIFY2(ui_->messages[0].text.contains(target), qPrintable(ui_->messages[0].text));
        QVERIFY(QFileInfo(target).isDir());
        CheckIdleAfterRun();
    }

    void file_in_missing_folder_is_a_write_failure() {
        const QString target = Path("nowhere/list.txt");
        ui_->saveNames << target;
        Run(Path("music"));
        QCOMPARE(ui_->messages.size(), 1);
        QCOMPARE(ui_->messages[0].title, QStringLiteral("Failure"));
        QCOMPARE(ui_->messages[0].style, 48);
        QVERIFY(!QFileInfo::exists(target));
        CheckIdleAfterRun();
    }

    void two_runs_in_a_row() {
        const QString first = Path("out/first.txt");
        ui_->saveNames << first << QString();
        Run(Path("music"));
        kind_ = ListKind::Html;
        Run(Path("folders"));
        QCOMPARE(ui_->saveDialogs.size(), 2);
        QVERIFY(ui_->saveDialogs[0].offeredFileName.isEmpty());
        QCOMPARE(ui_->saveDialogs[1].offeredFileName, first);
        QCOMPARE(ui_->saveDialogs[1].title, QStringLiteral("Save as HTML"));
        QCOMPARE(countsAtStart_, (QList<std::int32_t>{0, 0}));
        QCOMPARE(boundsAtStart_, (QList<std::int32_t>{1000000, 1000000}));
        QCOMPARE(state_.FoundCount, 3);  // a, a/b, c of the second tree
        QVERIFY(!state_.FoundList.IsDimensioned());
    }

    void search_failure_ends_the_run_with_a_message() {
        search_ = [this](doze::SearchParams& params, doze::SearchState& state) {
            progressDuringSearch_ << VisibleProgressWindows();
            doze::AppendEntry(state, "half.mp3|10");
            throw doze::SearchFailure("Cannot read the length of \"" + params.Path +
                                      "/half.mp3\": Input/output error.");
        };
        Run(Path("music"));
        QCOMPARE(progressDuringSearch_, QList<int>{1});
        QCOMPARE(ui_->messages.size(), 1);
        QCOMPARE(ui_->messages[0].title, QStringLiteral("Failure"));
        QCOMPARE(ui_->messages[0].style, 48);
        QVERIFY(ui_->messages[0].text.contains(Path("music") + "/half.mp3"));
        QVERIFY(ui_->saveDialogs.isEmpty());
        QCOMPARE(ui_->pointerChanges, (QList<bool>{true, false}));
        CheckIdleAfterRun();
    }

    void existence_test_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("exists");
        QTest::newRow("plain file") << "music/one.mp3" << true;
        QTest::newRow("folder") << "music/Rock" << false;
        QTest::newRow("nothing") << "music/none" << false;
        QTest::newRow("dangling link") << "dangling" << true;
    }
    void existence_test() {
        QFETCH(QString, name);
        QFETCH(bool, exists);
        QFile::link(Path("gone"), Path("dangling"));
        QCOMPARE(doze::EntryExistsAt(Bytes(Path(name))), exists);
    }
};

QTEST_MAIN(TestListRun)
#include "tst_list_run.moc"
