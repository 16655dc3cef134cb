// SPDX-License-Identifier: MIT
// The title, main and progress windows: the hand-over at start, layout and
// font, SearchRoot following the lists, the drives, "Go", the menus, Exit and
// close; the run behind "Go", played end to end with scripted answers. (The
// search on its own thread, input dropped: test_xvfb_search.sh.)
#include <sys/stat.h>

#include <QtTest>
#include <QtWidgets>
#include <atomic>
#include <cerrno>

#include "about/frm_about.h"
#include "app/drive_list.h"
#include "app/folder_list.h"
#include "app/frm_main.h"
#include "app/frm_progress.h"
#include "app/frm_title.h"
#include "app/search_thread.h"
#include "app/window_run.h"
#include "doubles/scripted_ui.h"
#include "output/list_writers.h"
#include "search/errors.h"
#include "search/walker.h"
#include "ui/window_look.h"

using doze::ListFormat;

namespace {

QByteArray Read(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

bool Write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// The windows of kind W still alive (deferred deletions done), or only the visible ones.
template <typename W>
QList<W*> Windows(bool visibleOnly) {
    if (!visibleOnly) QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QList<W*> found;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* window = qobject_cast<W*>(w); window && (!visibleOnly || w->isVisible()))
            found << window;
    }
    return found;
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

using doze::frmMain;
using doze::testing::ScriptedUi;

class TestFrmMain : public QObject {
    Q_OBJECT
  private:
    QTemporaryDir dir_;
    std::string music_, spare_, missing_;
    QList<std::string> searched_;
    std::vector<doze::Volume> volumes_;  // three at first, the last one not ready
    int exits_ = 0;
    QWidget owner_;
    doze::SearchState state_;
    doze::CommonDialog CD_;
    ListFormat kind_ = ListFormat::Text;
    // The progress windows on screen when the search started (-1: the pointer
    // was not busy, or the search ran on the windows' thread).
    QList<qsizetype> progress_;
    std::unique_ptr<ScriptedUi> ui_;

    QString Path(const QString& name) const { return dir_.filePath(name); }

    // The real search, on a thread other than the windows', except in a folder
    // named "broken", where it fails half-way; "Rock" first tells of what it
    // could not read; in "esc" and "close" the user stops it so. The windows
    // are looked at from their own thread meanwhile.
    doze::SearchEnd Search(doze::SearchParams& params, doze::SearchState& state,
                           doze::SearchProgress* progress) {
        const bool apart = QThread::currentThread() != owner_.thread();
        const QString folder = QFileInfo(QFile::decodeName(params.Path.c_str())).fileName();
        QMetaObject::invokeMethod(
            &owner_,
            [&] {
                progress_ << (ui_->busy && apart ? Windows<doze::frmProgress>(true).size() : -1);
                auto* window = owner_.findChild<doze::frmProgress*>();
                if (folder == "esc") QTest::keyClick(window, Qt::Key_Escape);
                if (folder == "close") window->close();
            },
            apart ? Qt::BlockingQueuedConnection : Qt::DirectConnection);
        for (int i = 1; folder == "Rock" && i <= 5; ++i)
            progress->FolderNotListed(params.Path + '/' + std::to_string(i), "Permission denied");
        if (folder == "Rock") progress->FileNotRead(params.Path + "/6.mp3", "Permission denied");
        if (folder != "broken") return doze::RunSearch(params, state, progress);
        doze::AppendEntry(state, "half.mp3|10");
        throw doze::SearchFailure("Cannot read \"" + params.Path + "/half.mp3\".");
    }

    void Run(const QString& root) {
        state_.SearchRoot = QFile::encodeName(Path(root)).toStdString();
        doze::ListRunContext run{&owner_, state_, CD_, [this] { return kind_; },
                                 [this](auto& params, auto& state, auto* progress) {
                                     return Search(params, state, progress);
                                 }};
        doze::RunListGeneration(run);
    }

    // The volumes of volumes_; every search finds one file.
    doze::MainWindowServices Services() {
        doze::MainWindowServices services;
        services.startFolder = music_;
        services.volumes = [this] { return volumes_; };
        services.search = [this](doze::SearchParams& params, doze::SearchState& state,
                                 doze::SearchProgress*) {
            searched_ << params.Path;
            doze::AppendEntry(state, "a.mp3|1");
            return doze::SearchEnd::Complete;
        };
        services.endProgram = [this] { ++exits_; };
        return services;
    }

  private slots:
    void initTestCase() {
        doze::UseProgramFont();
        QVERIFY(dir_.isValid());
        // Where Qt's file dialog keeps its history: not in the user's home.
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir_.filePath("config")));
        for (const char* folder :
             {"empty", "folders/a/b", "folders/c", "music/Rock", "broken", "spare/sub"}) {
            QVERIFY(QDir(dir_.path()).mkpath(folder));
        }
        QVERIFY(Write(Path("music/one.mp3"), QByteArray(4718592, 'x')));
        QVERIFY(Write(Path("music/Rock/two.MP3"), QByteArray(1000, 'y')));
        music_ = QFile::encodeName(dir_.filePath("music")).toStdString();
        spare_ = QFile::encodeName(dir_.filePath("spare")).toStdString();
        missing_ = QFile::encodeName(dir_.filePath("not-mounted")).toStdString();
    }
    void init() {
        ui_ = std::make_unique<ScriptedUi>();
        CD_ = doze::CommonDialog();
        searched_.clear();
        volumes_ = {
            {"/", "/dev/sda1", {}}, {spare_, "/dev/sdb1", "SPARE"}, {missing_, "srv:/x", {}}};
        exits_ = 0;
        progress_.clear();
    }
    void cleanup() { ui_.reset(); }

    // The title window: after 2000 ms it is gone and the main window shows
    // the current folder.
    void hands_over_after_2000_ms() {
        QElapsedTimer clock;
        clock.start();
        QPointer<doze::frmTitle> title = doze::ShowTitleWindow();
        QVERIFY(title->isVisible());
        const auto shownMain = [] { return Windows<frmMain>(true).value(0); };
        QTRY_VERIFY_WITH_TIMEOUT(shownMain(), 10000);
        QVERIFY2(clock.elapsed() >= 1990, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(shownMain()->Search.SearchRoot,
                 QFile::encodeName(QDir::currentPath()).toStdString());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(title.isNull());
        shownMain()->close();
    }

    // The captions of the main, progress and About windows, each drawn whole
    // inside its box in the program's font (also run with QT_SCALE_FACTOR=2):
    // 8 points at the design size, and the windows scaled with the desktop's
    // font beyond it; the main window's texts and menus, option at start and
    // default button, the lists' names and labels, the icon's sizes.
    void layout_data() {
        QTest::addColumn<double>("scale");  // 6 points on the desktop: the design size
        QTest::newRow("desktop font smaller") << 1.0;
        QTest::newRow("desktop font of 16 pt") << 2.0;
    }
    void layout() {
        QFETCH(double, scale);
        doze::UseProgramFont(scale == 1 ? 6 : 8 * scale);
        const auto designSize = qScopeGuard([] { doze::UseProgramFont(); });
        QWidget owner;
        frmMain window(Services());
        QWidget* progress = doze::ShowProgressWindow(&owner);
        doze::frmAbout about;
        QStringList captions;  // of the main and progress windows
        for (QWidget* shown : QList<QWidget*>{&window, progress, &about}) {
            for (QWidget* control : shown->findChildren<QWidget*>()) {
                const bool box = qobject_cast<QGroupBox*>(control);
                const QString caption = control->property(box ? "title" : "text").toString();
                const bool captioned = box || qobject_cast<QLabel*>(control) ||
                                       qobject_cast<QAbstractButton*>(control);
                if (!captioned || caption.isEmpty()) continue;
                if (shown != &about) captions << caption;
                const QFont font = control->font();
                QVERIFY(font == QApplication::font() && font.pointSizeF() == 8 * scale);
                const QRect room = control->contentsRect();
                QSize needed =
                    QFontMetrics(font).boundingRect(room, Qt::TextWordWrap, caption).size();
                if (auto* button = qobject_cast<QAbstractButton*>(control)) {
                    needed = button->sizeHint();
                }
                QVERIFY2(needed.boundedTo(room.size()) == needed, qPrintable(caption));
            }
        }
        captions.sort();
        QCOMPARE(captions,
                 (QStringList{"Choose Drive:", "Choose Folder:",
                              "Choose a list generation option below.  By default, your list will "
                              "be generated as plain text.  Choose compile as HTML to generate a "
                              "list ready for the web.",
                              "Compile as HTML", "Compile as text only", "Go", "List Options",
                              "Please wait..."}));
        QCOMPARE((QStringList{window.windowTitle(), progress->windowTitle()}),
                 (QStringList{"Vovezaduvu's Dozedozovo", "Search in Progress"}));
        QStringList menus;  // the menu bar's titles, then the entries in their order
        for (QAction* menu : window.menuBar()->actions()) menus << menu->text();
        for (QMenu* menu : {window.MenuFile, window.MenuHelp}) {
            for (QAction* entry : menu->actions()) menus << entry->text();
        }
        QCOMPARE(menus, (QStringList{"&File", "&Help", "E&xit", "&Contents", "", "&About..."}));
        QVERIFY(window.Option1->isChecked() && window.Command1->isDefault());
        QCOMPARE(window.centralWidget()->size(), QSize(505, 337) * scale);
        QCOMPARE((QStringList{window.Label1->buddy()->accessibleName(),
                              window.Label2->buddy()->accessibleName(),
                              about.picIcon->accessibleName()}),
                 (QStringList{"Choose Drive", "Choose Folder", "Dozedozovo program icon"}));
        QCOMPARE(doze::ProgramIcon().availableSizes(),
                 (QList<QSize>{
                     {32, 32}, {16, 16}, {24, 24}, {48, 48}, {64, 64}, {128, 128}, {256, 256}}));
    }

    // "Go" searches the folder last opened (a double click), not one a click
    // only highlights.
    void go_searches_the_folder_last_opened() {
        frmMain window(Services());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QWidget* lines = window.Dir1->viewport();
        const QPoint rock =
            window.Dir1->visualItemRect(window.Dir1->item(window.Dir1->count() - 1)).center();
        QTest::mouseClick(lines, Qt::LeftButton, {}, rock);
        window.Command1->click();
        QTest::mouseDClick(lines, Qt::LeftButton, {}, rock);
        window.Command1->click();
        QCOMPARE(searched_, (QList<std::string>{music_, music_ + "/Rock"}));
    }

    // Enter on an option presses "Go", which runs that option's flow.
    void enter_on_an_option_runs_its_flow() {
        frmMain window(Services());
        window.Option2->click();
        QTest::keyClick(window.Option2, Qt::Key_Return);
        QCOMPARE(searched_.size(), 1);
        QCOMPARE(ui_->saveDialogs.size(), 1);
        QCOMPARE(ui_->saveDialogs[0].title, QStringLiteral("Save as HTML"));
    }

    // Choosing a drive: one that is ready opens its root without a word; one
    // that is not ready warns with the system's text and keeps the folder
    // (and so SearchRoot), the list showing that drive; one gone since the
    // list was read warns and leaves the list, the folder's drive selected.
    void choosing_a_drive_data() {
        QTest::addColumn<bool>("gone");
        QTest::addColumn<int>("chosen");
        QTest::addColumn<QString>("told");  // the box, if any
        QTest::addColumn<std::string>("root");
        QTest::addColumn<QList<int>>("list");  // drives offered, the one selected
        const QString cause = QString::fromLocal8Bit(doze::SystemErrorText(ENOENT));
        const QString gone = "Cannot open the drive \"" + QString::fromStdString(spare_) +
                             "\": the drive is no longer there.";
        QTest::newRow("ready") << false << 1 << "" << spare_ << QList<int>{3, 1};
        QTest::newRow("not ready")
            << false << 2 << "Warning 48: " + cause << music_ << QList<int>{3, 2};
        QTest::newRow("gone") << true << 1 << "Warning 48: " + gone << music_ << QList<int>{2, 0};
    }
    void choosing_a_drive() {
        QFETCH(bool, gone);
        QFETCH(int, chosen);
        QFETCH(QString, told);
        QFETCH(std::string, root);
        QFETCH(QList<int>, list);
        frmMain window(Services());
        if (gone) volumes_.erase(volumes_.begin() + 1);
        window.Drive1->setCurrentIndex(chosen);
        QCOMPARE(ui_->messages, told.isEmpty() ? QStringList{} : QStringList{told});
        QCOMPARE(window.Search.SearchRoot, root);
        QCOMPARE((QList<int>{window.Drive1->count(), window.Drive1->currentIndex()}), list);
    }

    // A folder opened on another drive selects that drive.
    void opened_folder_selects_its_drive() {
        frmMain window(Services());
        QCOMPARE(window.Dir1->SetPath(spare_ + "/sub"), 0);
        QCOMPARE(window.Drive1->currentIndex(), 1);
    }

    // The drive list is read again when it opens: a drive plugged in since shows.
    void drive_list_read_again_when_opened() {
        frmMain window(Services());
        volumes_.push_back({spare_ + "/sub", "/dev/sdc1", {}});
        window.Drive1->showPopup();
        QCOMPARE(window.Drive1->itemText(3), QString::fromStdString(spare_ + "/sub"));
    }

    // Help, Contents hands a document (which one: tst_about) to the opener,
    // maximised, in the program's folder, and shows nothing of ours.
    void help_contents_hands_over_a_document() {
        frmMain window(Services());
        window.MenuContents->trigger();
        QCOMPARE(ui_->documents.size(), 1);
        QVERIFY(ui_->documents[0].maximised && ui_->messages.isEmpty());
        QCOMPARE(ui_->documents[0].workingFolder, QCoreApplication::applicationDirPath());
    }

    // Help, About... is modal over the whole program and returns when the
    // window is closed, which destroys it: each time a fresh one.
    void about_is_modal_and_fresh() {
        frmMain window(Services());
        QString seen;  // "<name> <modality>"; 2: modal over the whole program
        QPointer<QWidget> about;
        QTimer::singleShot(0, [&] {
            about = QApplication::activeModalWidget();
            if (!about) return;
            seen = about->objectName() + ' ' + QString::number(about->windowModality());
            about->close();
        });
        window.MenuAbout->trigger();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(seen, QStringLiteral("frmAbout 2"));
        QVERIFY(about.isNull());
    }

    // File, Exit ends the program at once, without Form_Unload.
    void exit_ends_without_unload() {
        frmMain window(Services());
        QSignalSpy unloads(&window, &frmMain::Unloaded);
        window.MenuExit->trigger();
        QCOMPARE(exits_, 1);
        QCOMPARE(unloads.count(), 0);
    }

    // Closing runs Form_Unload, which erases the found-file list, and deletes
    // the window.
    void close_unloads_and_deletes() {
        QPointer<frmMain> window = new frmMain(Services());
        QSignalSpy unloads(window.data(), &frmMain::Unloaded);
        window->show();
        window->Search.FoundList.Dimension(10);
        window->close();
        QCOMPARE(unloads.count(), 1);
        QVERIFY(!window->Search.FoundList.IsDimensioned());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(window.isNull());
    }

    // One run per row, "<root> <name>...", saving into a folder of its own:
    // the names the Save-As dialog accepts there in turn (none cancels; "."
    // is the folder; ".html" picks that list; "/..." is itself); `answer` 0
    // when nothing is there before, else the answer to the overwrite question;
    // `shown` the dialogs ("<title>: <filter>") and the boxes ("<title>
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
        QTest::newRow("saved after a failure")
            << "music . a.txt" << 0
            << QStringList{text, text,
                           "Failure 48: Cannot write \"<dir>/out/saved after a failure/.\": it "
                           "is a folder.",
                           done};
        QTest::newRow("a device, refused before any question")
            << "music /dev/null" << 0
            << QStringList{text, text,
                           "Failure 48: Cannot write \"/dev/null\": it is not a regular file."};
        QString unread =
            "Warning 48: 5 folders and 1 file could not be read, so the list may be "
            "incomplete:\n";
        for (int i = 1; i <= 5; ++i)
            unread += QString("\n<dir>/music/Rock/%1: Permission denied").arg(i);
        QTest::newRow("what could not be read")
            << "music/Rock a.txt" << 0
            << QStringList{text, "Complete 64: " + QString::fromStdString(doze::CompletionText(1)),
                           unread + "\n(and 1 more)"};
        QTest::newRow("Esc in the progress window") << "esc a.txt" << 0 << QStringList{};
        QTest::newRow("progress window closed") << "close a.txt" << 0 << QStringList{};
        QTest::newRow("search failure")
            << "broken a.txt" << 0
            << QStringList{"Failure 48: Cannot read \"<dir>/broken/half.mp3\"."};
    }
    void runs() {
        QFETCH(QString, run);
        QFETCH(int, answer);
        QFETCH(QStringList, shown);
        const QString root = run.section(' ', 0, 0), name = run.section(' ', -1);
        const QString folder = Path(QStringLiteral("out/") + QTest::currentDataTag());
        QString target;
        for (const QString& each : run.split(' ').mid(1)) {
            target = each.startsWith('/') ? each : folder + '/' + each;
            ui_->saveNames << target;
        }
        QVERIFY(QDir().mkpath(folder));
        if (answer != 0) {
            QVERIFY(Write(target, "old contents"));
            ui_->answers << answer;
        }
        kind_ = name.endsWith(".html") ? ListFormat::Html : ListFormat::Text;
        Run(root);

        QCOMPARE(progress_, QList<qsizetype>{1});
        QStringList got;
        for (const auto& d : ui_->saveDialogs) got << d.title + ": " + d.filter;
        got << ui_->messages;
        QCOMPARE(got.replaceInStrings(dir_.path(), "<dir>"), shown);
        // On disk, under the name as typed: the list where one was written,
        // the old file where No kept it, nothing else.
        const bool written = shown.join('\n').contains("Complete");
        if (written) QCOMPARE(Read(target), Expected(Path(root), kind_));
        if (answer == 7) QCOMPARE(Read(target), QByteArray("old contents"));
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System),
                 written || answer ? QStringList{QFileInfo(target).fileName()} : QStringList{});
        // However it ends: progress window gone, pointer back, one yield, list erased.
        QVERIFY(Windows<doze::frmProgress>(false).isEmpty());
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

    // A file that appears at the target after the save step found none there
    // is replaced only after Yes to the overwrite question, asked then.
    void appeared_file_needs_a_yes_data() {
        QTest::addColumn<int>("answer");
        QTest::newRow("No keeps it") << int(doze::kAnswerNo);
        QTest::newRow("Yes replaces it") << int(doze::kAnswerYes);
    }
    void appeared_file_needs_a_yes() {
        QFETCH(int, answer);
        ui_->saveNames << Path("out/appeared.txt");
        ui_->answers << answer;
        doze::ListRunContext run{&owner_, state_, CD_, {}, {}};
        const auto frontEnd = doze::MakeWindowFrontEnd(run);
        ListFormat format = ListFormat::Text;
        const auto target = frontEnd->ChooseTarget(format);
        QVERIFY2(target && !target->consented, "consent given for a file not there");
        QVERIFY(ui_->messages.isEmpty());
        QCOMPARE(frontEnd->ReplaceAppeared(target->path), answer == doze::kAnswerYes);
        QCOMPARE(ui_->messages,
                 QStringList{"Confirm Overwrite 36: File exists, do you want to overwrite it?"});
    }

    // An exception out of the event loop while work runs on its own thread
    // asks the work to stop and passes on once it has ended: no terminate.
    void exception_out_of_the_loop_stops_the_work() {
        std::atomic<bool> stopped{false};
        QTimer::singleShot(0, [] { throw std::runtime_error("thrown in an event handler"); });
        const auto work = [&] {
            while (!stopped) QThread::msleep(5);
        };
        QVERIFY_THROWS_EXCEPTION(std::runtime_error,
                                 doze::RunOffWindowThread(work, [&] { stopped = true; }));
        QVERIFY(stopped);
    }

    // The second run offers the first one's file name. (Each run starts
    // afresh: the runs above share one search state.)
    void two_runs_in_a_row() {
        const QString first = Path("out/first.txt");
        ui_->saveNames << first << QString();
        Run("music");
        Run("folders");
        QCOMPARE(ui_->saveDialogs.size(), 2);
        QCOMPARE(
            (QStringList{ui_->saveDialogs[0].offeredFileName, ui_->saveDialogs[1].offeredFileName}),
            (QStringList{QString(), first}));
    }
};

QTEST_MAIN(TestFrmMain)
#include "tst_frm_main.moc"
