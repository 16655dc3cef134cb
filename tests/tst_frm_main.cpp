// The main window: layout, SearchRoot following the lists, "Go", the menus.
#include <QtTest>
#include <QtWidgets>
#include <cerrno>

#include "app/caption_fit.h"
#include "app/drive_list.h"
#include "app/frm_main.h"
#include "app/testing/scripted_ui.h"
#include "search/errors.h"

using doze::frmMain;
using doze::testing::ScriptedUi;

class TestFrmMain : public QObject {
    Q_OBJECT
  private:
    QTemporaryDir dir_;
    std::string music_, spare_, missing_;
    QList<std::string> searched_;
    bool findOne_ = false;  // the search finds one file, else nothing
    int exits_ = 0;

    doze::MainWindowServices Services() {
        doze::MainWindowServices services;
        services.startFolder = music_;
        services.volumes = [this] {
            return std::vector<doze::Volume>{
                {"/", "/dev/sda1", {}}, {spare_, "/dev/sdb1", "SPARE"}, {missing_, "srv:/x", {}}};
        };
        services.search = [this](doze::SearchParams& params, doze::SearchState& state) {
            searched_ << params.Path;
            if (findOne_) doze::AppendEntry(state, "a.mp3|1");
        };
        services.endProgram = [this] { ++exits_; };
        return services;
    }

  private slots:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        QVERIFY(QDir(dir_.path()).mkpath("music/Rock") && QDir(dir_.path()).mkpath("spare/sub"));
        music_ = QFile::encodeName(dir_.filePath("music")).toStdString();
        spare_ = QFile::encodeName(dir_.filePath("spare")).toStdString();
        missing_ = QFile::encodeName(dir_.filePath("not-mounted")).toStdString();
    }
    void init() {
        searched_.clear();
        findOne_ = false;
        exits_ = 0;
    }

    // Size, look, options, default button, tab order and menus.
    void window_properties() {
        frmMain window(Services());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(window.windowTitle(), QStringLiteral("Vovezaduvu's Dozedozovo"));
        QCOMPARE(window.centralWidget()->size(), QSize(505, 337));
        QCOMPARE(window.centralWidget()->y(), window.menuBar()->height());
        QCOMPARE(window.minimumSize(), window.maximumSize());
        QVERIFY(window.windowFlags() & Qt::WindowMinimizeButtonHint);
        QVERIFY(!(window.windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(!window.windowIcon().isNull());
        QCOMPARE(window.centralWidget()->palette().color(QPalette::Window), QColor(255, 192, 128));
        QCOMPARE(window.Frame1->palette().color(QPalette::Window), QColor(255, 192, 128));
        QVERIFY(window.Frame1->autoFillBackground());
        QVERIFY(!window.Label1->autoFillBackground());
        QVERIFY(window.testAttribute(Qt::WA_DeleteOnClose));

        QVERIFY(window.Option1->isChecked() && !window.Option2->isChecked());
        window.Option2->click();
        QVERIFY(!window.Option1->isChecked());
        QVERIFY(window.Command1->isDefault());
        QCOMPARE(window.Option1->parentWidget(), window.Frame1);
        QCOMPARE(window.Label3->parentWidget(), window.Frame1);
        const QList<QWidget*> order{window.Drive1, window.Dir1, window.Command1, window.Option1,
                                    window.Option2};
        for (int i = 0; i + 1 < order.size(); ++i) {
            QWidget* next = order[i]->nextInFocusChain();
            while (next->focusPolicy() == Qt::NoFocus) next = next->nextInFocusChain();
            QCOMPARE(next, order[i + 1]);
        }

        QCOMPARE((QStringList{window.MenuFile->title(), window.MenuExit->text(),
                              window.MenuHelp->title(), window.MenuContents->text(),
                              window.MenuAbout->text()}),
                 (QStringList{"&File", "E&xit", "&Help", "&Contents", "&About..."}));
        QVERIFY(window.Sep1->isSeparator());
        QCOMPARE(window.MenuHelp->actions(),
                 (QList<QAction*>{window.MenuContents, window.Sep1, window.MenuAbout}));
        for (QAction* entry : {window.MenuExit, window.MenuContents, window.MenuAbout}) {
            QVERIFY(entry->shortcut().isEmpty());
        }
    }

    // Place (twips / 15) and caption of each control; every caption fits.
    void controls_data() {
        QTest::addColumn<QRect>("twips");
        QTest::addColumn<QString>("caption");
        QTest::newRow("Command1") << QRect(6000, 4320, 1215, 495) << "Go";
        QTest::newRow("Frame1") << QRect(3360, 480, 3855, 3735) << "List Options";
        QTest::newRow("Option2") << QRect(480, 2760, 3015, 375) << "Compile as HTML";
        QTest::newRow("Option1") << QRect(480, 2280, 3015, 375) << "Compile as text only";
        QTest::newRow("Label3") << QRect(480, 480, 3015, 1095)
                                << "Choose a list generation option below.  By default, your list "
                                   "will be generated as plain text.  Choose compile as HTML to "
                                   "generate a list ready for the web.";
        QTest::newRow("Dir1") << QRect(360, 1440, 2415, 2790) << QString();
        QTest::newRow("Drive1") << QRect(360, 600, 2415, 315) << QString();
        QTest::newRow("Label2") << QRect(360, 1200, 1065, 195) << "Choose Folder:";
        QTest::newRow("Label1") << QRect(360, 360, 1005, 195) << "Choose Drive:";
    }
    void controls() {
        QFETCH(QRect, twips);
        QFETCH(QString, caption);
        frmMain window(Services());
        auto* control = window.findChild<QWidget*>(QTest::currentDataTag());
        QVERIFY(control != nullptr);
        QCOMPARE(control->geometry(),
                 QRect(twips.x() / 15, twips.y() / 15, twips.width() / 15, twips.height() / 15));
        QString text;
        if (auto* label = qobject_cast<QLabel*>(control)) text = label->text();
        if (auto* button = qobject_cast<QAbstractButton*>(control)) text = button->text();
        if (auto* frame = qobject_cast<QGroupBox*>(control)) text = frame->title();
        QCOMPARE(text, caption);
        const bool wraps = qobject_cast<QLabel*>(control) && control->height() > 20;
        const int reserved = qobject_cast<QRadioButton*>(control) ? 22 : 0;
        QVERIFY2(caption.isEmpty() ||
                     doze::CaptionFits(control->font(),
                                       {caption, control->size() - QSize(reserved, 0), wraps}),
                 qPrintable(caption));
    }

    // (Starting in the current folder: tst_frm_title; the drive holding it: tst_drive_list.)
    void starts_in_the_start_folder() {
        frmMain window(Services());
        QCOMPARE(window.Dir1->Path(), music_);
        QCOMPARE(window.Search.SearchRoot, music_);
        QCOMPARE(window.Drive1->currentIndex(), 0);  // "/" holds the temporary folder here
        QCOMPARE(window.Drive1->itemText(1), QString::fromStdString(spare_) + " [SPARE]");
    }

    // A highlighted folder is not searched, an opened one is; the option
    // chosen picks the flow.
    void go_searches_the_opened_folder() {
        ScriptedUi ui;
        frmMain window(Services());
        const int rock = window.Dir1->count() - 1;
        window.Dir1->setCurrentRow(rock);
        QCOMPARE(window.Search.SearchRoot, music_);
        window.Command1->click();
        QCOMPARE(searched_, QList<std::string>{music_});
        emit window.Dir1->itemDoubleClicked(window.Dir1->item(rock));
        QCOMPARE(window.Search.SearchRoot, music_ + "/Rock");
        findOne_ = true;
        window.Option2->click();
        window.Command1->click();
        QCOMPARE(searched_.last(), music_ + "/Rock");
        QCOMPARE(ui.saveDialogs.size(), 1);
        QCOMPARE(ui.saveDialogs[0].title, QStringLiteral("Save as HTML"));
    }

    // A drive that is not ready warns and keeps the folder; another one moves to its root.
    void drive_change() {
        ScriptedUi ui;
        frmMain window(Services());
        window.Drive1->setCurrentIndex(2);
        QCOMPARE(ui.messages.size(), 1);
        QCOMPARE(ui.messages[0].title, QStringLiteral("Warning"));
        QCOMPARE(ui.messages[0].style, 48);
        QCOMPARE(ui.messages[0].text, QString::fromLocal8Bit(doze::SystemErrorText(ENOENT)));
        QCOMPARE(window.Drive1->currentIndex(), 2);
        QCOMPARE(window.Dir1->Path(), music_);
        QCOMPARE(window.Search.SearchRoot, music_);
        window.Drive1->setCurrentIndex(1);
        QCOMPARE(window.Dir1->Path(), spare_);
        QCOMPARE(window.Search.SearchRoot, spare_);
        QCOMPARE(ui.messages.size(), 1);
    }

    void enter_presses_go() {
        ScriptedUi ui;
        frmMain window(Services());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.activateWindow();
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(window.Drive1));
        QTest::keyClick(window.Drive1, Qt::Key_Return);
        QCOMPARE(searched_, QList<std::string>{music_});
        window.Option1->setFocus();
        QTest::keyClick(window.Option1, Qt::Key_Enter);
        QCOMPARE(searched_.size(), 2);
    }

    void exit_ends_without_unload_close_runs_it() {
        auto* window = new frmMain(Services());
        QPointer<frmMain> alive(window);
        QSignalSpy unloads(window, &frmMain::Unloaded);
        window->show();
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

    // Help, Contents opens the help file; Help, About... is modal and returns when closed.
    void help_menu() {
        ScriptedUi ui;
        frmMain window(Services());
        window.show();
        window.MenuContents->trigger();
        QCOMPARE(ui.documents.size(), 1);
        QVERIFY(ui.documents[0].path.endsWith(QStringLiteral("/mp3.chm")));
        QString seen;
        QTimer::singleShot(0, [&seen] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                seen = modal->objectName();
                modal->close();
            }
        });
        window.MenuAbout->trigger();
        QVERIFY(!seen.isEmpty());
        QVERIFY(QApplication::activeModalWidget() == nullptr);
    }
};

QTEST_MAIN(TestFrmMain)
#include "tst_frm_main.moc"
