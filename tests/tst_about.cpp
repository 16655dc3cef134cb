// The About window: its texts, look and buttons, the document Help, Contents
// opens, and what "System Info" starts.
#include <QtTest>
#include <QtWidgets>

#include "about/frm_about.h"
#include "about/help_contents.h"
#include "about/help_menu.h"
#include "about/settings_store_linux.h"
#include "about/sys_info.h"
#include "doubles/scripted_ui.h"

using doze::frmAbout;
using doze::testing::ScriptedUi;

class TestAbout : public QObject {
    Q_OBJECT
  private slots:
    // The window's texts and look: light orange, the separator engraved
    // (grey over white). (Captions whole in their boxes: tst_frm_main.) OK
    // is the default button and closes it; "&System Info..." looks
    // the tool up and tells when there is none.
    void texts_look_and_buttons() {
        ScriptedUi ui;
        QTemporaryDir empty;
        doze::StandInSettingsStore store({empty.path()});  // nothing to find
        frmAbout about(nullptr, &store);
        about.show();
        QCOMPARE(
            (QStringList{about.windowTitle(), about.lblTitle->text(), about.cmdSysInfo->text()}),
            (QStringList{"About Dozedozovo", "Vovezaduvu's Dozedozovo", "&System Info..."}));
        const QImage image = about.grab().toImage();
        QCOMPARE((QList<QColor>{image.pixelColor(20, 120), image.pixelColor(100, 163),
                                image.pixelColor(100, 164)}),
                 (QList<QColor>{QColor(255, 192, 128), QColor(128, 128, 128), Qt::white}));
        QVERIFY(about.cmdOK->isDefault());
        about.cmdSysInfo->click();
        QCOMPARE(ui.messages.size(), 1);
        about.cmdOK->click();
        QVERIFY(!about.isVisible());
    }

    // Help, Contents with the program in <prefix>/lib/dozedozovo: mp3.chm where
    // the desktop has a CHM viewer, else the HTML pages, beside the program
    // first, then in the installed documentation; mp3.chm when there are none.
    void help_contents_data() {
        QTest::addColumn<QString>("viewerOf");  // the CHM type a viewer is registered for
        QTest::addColumn<QString>("pages");     // folders below the prefix with index.html
        QTest::addColumn<QString>("opened");
        const QString chm = "lib/dozedozovo/mp3.chm", beside = "lib/dozedozovo/help",
                      doc = "share/doc/dozedozovo/help";
        QTest::newRow("CHM viewer") << "application/vnd.ms-htmlhelp" << doc << chm;
        QTest::newRow("viewer of the alias") << "application/x-chm" << doc << chm;
        QTest::newRow("pages beside") << "" << beside + ' ' + doc << beside + "/index.html";
        QTest::newRow("installed pages") << "" << doc << doc + "/index.html";
        QTest::newRow("no pages") << QString() << QString() << chm;
    }
    void help_contents() {
        QFETCH(QString, viewerOf);
        QFETCH(QString, pages);
        QFETCH(QString, opened);
        QTemporaryDir prefix;
        const QString program = prefix.filePath("lib/dozedozovo");
        for (const QString& folder : pages.split(' ', Qt::SkipEmptyParts)) {
            QVERIFY(QDir().mkpath(prefix.filePath(folder)) &&
                    QFile(prefix.filePath(folder + "/index.html")).open(QFile::WriteOnly));
        }
        ScriptedUi ui;
        ui.viewerTypes = QStringList{viewerOf};
        doze::MenuContents_Click(nullptr, program);
        QCOMPARE(ui.documents.size(), 1);
        QCOMPARE((QStringList{ui.documents[0].path, ui.documents[0].workingFolder}),
                 (QStringList{prefix.filePath(opened), program}));
    }

    // The desktop's own answer on a CHM viewer is xdg-mime's: none until a
    // menu entry names the type.
    void chm_viewer_from_xdg_mime() {
        if (QStandardPaths::findExecutable("xdg-mime").isEmpty()) QSKIP("no xdg-mime (xdg-utils)");
        QTemporaryDir root;
        for (const char* name :
             {"XDG_CONFIG_HOME", "XDG_CONFIG_DIRS", "XDG_DATA_HOME", "XDG_DATA_DIRS"})
            qputenv(name, QFile::encodeName(root.path()));
        for (const char* name : {"XDG_CURRENT_DESKTOP", "KDE_FULL_SESSION"}) qunsetenv(name);
        const QString type = "application/vnd.ms-htmlhelp";
        QVERIFY(!doze::Ui().HasViewerFor(type));
        QFile entry(root.filePath("applications/xchm.desktop"));
        QVERIFY(QDir(root.path()).mkpath("applications") && entry.open(QFile::WriteOnly));
        entry.write("[Desktop Entry]\nMimeType=" + type.toUtf8() + ";\n");
        entry.close();
        QVERIFY(doze::Ui().HasViewerFor(type));
    }

    // "&System Info..." over the settings store on Linux: it starts the first
    // of the tools in their order, then in the order of the folders searched,
    // that can run, by the full path the store gives as text with its NUL; a
    // path longer than the 1024 bytes read is no answer. When none is found or
    // the start fails: one box, style 0, no title (the program's name shows).
    void system_info_data() {
        QTest::addColumn<QStringList>("files");  // "<folder 1|2>/<name>"; "-x": cannot run
        QTest::addColumn<bool>("startWorks");
        QTest::addColumn<QString>("started");  // one of the files, or "" for none
        QTest::newRow("tool order first")
            << QStringList{"1/kinfocenter", "1/hardinfo", "2/hardinfo2"} << true << "2/hardinfo2";
        QTest::newRow("then folder order")
            << QStringList{"1/hardinfo", "2/hardinfo"} << true << "1/hardinfo";
        QTest::newRow("cannot run")
            << QStringList{"1/hardinfo2-x", "2/kinfocenter"} << true << "2/kinfocenter";
        QTest::newRow("start fails") << QStringList{"2/hardinfo"} << false << "2/hardinfo";
        QTest::newRow("none") << QStringList{"1/msinfo32", "1/MSINFO32.EXE"} << true << "";
        QTest::newRow("path over 1024 bytes")
            << QStringList{"2/" + QStringList(5, QString(210, 'p')).join('/') + "/hardinfo"} << true
            << "";
    }
    void system_info() {
        QFETCH(QStringList, files);
        QFETCH(bool, startWorks);
        QFETCH(QString, started);
        QTemporaryDir one, two;
        const auto path = [&](const QString& file) {
            return (file[0] == '1' ? one : two).filePath(file.mid(2).section("-x", 0, 0));
        };
        for (const QString& name : files) {
            QFile file(path(name));
            QVERIFY(QDir().mkpath(QFileInfo(file).path()) && file.open(QIODevice::WriteOnly));
            file.setPermissions(QFile::ReadOwner | QFile::WriteOwner |
                                (name.endsWith("-x") ? QFile::Permissions() : QFile::ExeOwner));
        }
        const QString longFolder = QFileInfo(path(files.last())).path();
        doze::StandInSettingsStore store({one.path(), two.path(), longFolder});
        ScriptedUi ui;
        ui.startSucceeds = startWorks;
        QWidget owner;
        doze::StartSysInfo(&owner, store);
        QCOMPARE(ui.started, started.isEmpty() ? QStringList{} : QStringList{path(started)});
        QCOMPARE(ui.messages,
                 started.isEmpty() || !startWorks  // no title: the program's name
                     ? QStringList{" 0: System Information Is Unavailable At This Time"}
                     : QStringList{});
    }
};

QTEST_MAIN(TestAbout)
#include "tst_about.moc"
