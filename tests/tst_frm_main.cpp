// The title, main and progress windows: the hand-over at start, layout and
// font, SearchRoot following the lists, the drives, "Go", the menus, Exit and
// close. (The search on its own thread, input dropped: test_xvfb_search.sh.)
#include <QtTest>
#include <QtWidgets>
#include <cerrno>

#include "about/frm_about.h"
#include "app/drive_list.h"
#include "app/folder_list.h"
#include "app/frm_main.h"
#include "app/frm_progress.h"
#include "app/frm_title.h"
#include "doubles/scripted_ui.h"
#include "search/errors.h"
#include "ui/window_look.h"

using doze::frmMain;
using doze::testing::ScriptedUi;

class TestFrmMain : public QObject {
    Q_OBJECT
  private:
    QTemporaryDir dir_;
    std::string music_, spare_, missing_;
    QList<std::string> searched_;
    int exits_ = 0;

    // Three volumes, the last one not ready; every search finds one file.
    doze::MainWindowServices Services() {
        doze::MainWindowServices services;
        services.startFolder = music_;
        services.volumes = [this] {
            return std::vector<doze::Volume>{
                {"/", "/dev/sda1", {}}, {spare_, "/dev/sdb1", "SPARE"}, {missing_, "srv:/x", {}}};
        };
        services.search = [this](doze::SearchParams& params, doze::SearchState& state,
                                 doze::SearchProgress*) {
            searched_ << params.Path;
            doze::AppendEntry(state, "a.mp3|1");
        };
        services.endProgram = [this] { ++exits_; };
        return services;
    }

  private slots:
    void initTestCase() {
        doze::UseProgramFont();
        QVERIFY(dir_.isValid());
        QVERIFY(QDir(dir_.path()).mkpath("music/Rock") && QDir(dir_.path()).mkpath("spare/sub"));
        music_ = QFile::encodeName(dir_.filePath("music")).toStdString();
        spare_ = QFile::encodeName(dir_.filePath("spare")).toStdString();
        missing_ = QFile::encodeName(dir_.filePath("not-mounted")).toStdString();
    }
    void init() {
        searched_.clear();
        exits_ = 0;
    }

    // The title window: after 2000 ms it is gone and the main window shows
    // the current folder.
    void hands_over_after_2000_ms() {
        QElapsedTimer clock;
        clock.start();
        QPointer<doze::frmTitle> title = doze::ShowTitleWindow();
        QVERIFY(title->isVisible());
        const auto shownMain = [] {
            for (QWidget* w : QApplication::topLevelWidgets()) {
                if (auto* m = qobject_cast<doze::frmMain*>(w); m && m->isVisible()) return m;
            }
            return static_cast<doze::frmMain*>(nullptr);
        };
        QTRY_VERIFY_WITH_TIMEOUT(shownMain(), 10000);
        QVERIFY2(clock.elapsed() >= 1990, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(shownMain()->Search.SearchRoot,
                 QFile::encodeName(QDir::currentPath()).toStdString());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(title.isNull());
        shownMain()->close();
    }

    // The captions of the main, progress and About windows, each drawn whole
    // inside its box in the program's font of 8 points or more (also run with
    // QT_SCALE_FACTOR=2); the main window's texts, option at start, default
    // button and tab order.
    void layout() {
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
                QVERIFY(font == QApplication::font() && font.pointSizeF() >= 8);
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
        QVERIFY(window.Option1->isChecked() && window.Command1->isDefault());
        const QList<QWidget*> order{window.Drive1, window.Dir1, window.Command1, window.Option1,
                                    window.Option2};
        for (int i = 0; i + 1 < order.size(); ++i) {
            QWidget* next = order[i]->nextInFocusChain();
            while (next->focusPolicy() == Qt::NoFocus) next = next->nextInFocusChain();
            QCOMPARE(next, order[i + 1]);
        }
    }

    // Enter right after start, on the drive list that has the focus, runs
    // "Go"; SearchRoot follows a folder opened by a double click, not one a
    // click only highlights; the option chosen picks the flow.
    void go_searches_the_opened_folder() {
        ScriptedUi ui;
        frmMain window(Services());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.activateWindow();
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(window.Drive1));
        QTest::keyClick(window.Drive1, Qt::Key_Return);
        QWidget* lines = window.Dir1->viewport();
        const QPoint rock =
            window.Dir1->visualItemRect(window.Dir1->item(window.Dir1->count() - 1)).center();
        QTest::mouseClick(lines, Qt::LeftButton, {}, rock);
        window.Command1->click();
        QTest::mouseDClick(lines, Qt::LeftButton, {}, rock);
        QCOMPARE(window.Search.SearchRoot, music_ + "/Rock");
        window.Option2->click();
        window.Command1->click();
        QCOMPARE(searched_, (QList<std::string>{music_, music_, music_ + "/Rock"}));
        QCOMPARE(ui.saveDialogs.size(), 3);
        QCOMPARE(ui.saveDialogs[2].title, QStringLiteral("Save as HTML"));
    }

    // A drive that is not ready warns and keeps the folder (Dir1, and so
    // SearchRoot); another one moves to its root.
    void drive_change() {
        ScriptedUi ui;
        frmMain window(Services());
        window.Drive1->setCurrentIndex(2);
        QCOMPARE(ui.messages.size(), 1);
        QCOMPARE(ui.messages[0].title + ' ' + QString::number(ui.messages[0].style),
                 QStringLiteral("Warning 48"));
        QCOMPARE(ui.messages[0].text, QString::fromLocal8Bit(doze::SystemErrorText(ENOENT)));
        QCOMPARE(window.Drive1->currentIndex(), 2);
        QCOMPARE(window.Search.SearchRoot, music_);
        window.Drive1->setCurrentIndex(1);
        QCOMPARE(window.Search.SearchRoot, spare_);
    }

    // Help, Contents asks the opener for a document, maximised, and shows
    // nothing of ours; Help, About... is modal and returns when
    // closed. File, Exit ends at once without Form_Unload; closing runs it and
    // deletes the window.
    void menus_and_close() {
        ScriptedUi ui;
        auto* window = new frmMain(Services());
        QPointer<frmMain> alive(window);
        QSignalSpy unloads(window, &frmMain::Unloaded);
        window->show();
        window->MenuContents->trigger();  // which document: tst_about
        QVERIFY(ui.documents.size() == 1 && ui.documents[0].maximised && ui.messages.isEmpty());
        QCOMPARE(ui.documents[0].workingFolder, QCoreApplication::applicationDirPath());
        QStringList seen;  // "<name> <modality>"; 2: modal over the whole program
        QPointer<QWidget> about;
        for (int i = 0; i < 2; ++i) {  // a fresh window each time, destroyed once closed
            QTimer::singleShot(0, [&] {
                about = QApplication::activeModalWidget();
                if (!about) return;
                seen << about->objectName() + ' ' + QString::number(about->windowModality());
                about->close();
            });
            window->MenuAbout->trigger();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QVERIFY(about.isNull());
        }
        QCOMPARE(seen, QStringList(2, "frmAbout 2"));
        window->MenuExit->trigger();
        QCOMPARE(exits_, 1);
        QCOMPARE(unloads.count(), 0);
        window->Search.FoundList.Dimension(10);
        window->close();
        QCOMPARE(unloads.count(), 1);
        QVERIFY(!window->Search.FoundList.IsDimensioned());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(alive.isNull());
    }
};

QTEST_MAIN(TestFrmMain)
#include "tst_frm_main.moc"
