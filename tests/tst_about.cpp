// SPDX-License-Identifier: MIT
// The About window: its texts, look and buttons, the document Help, Contents
// opens, and what "System Info" starts.
#include <QtTest>
#include <QtWidgets>

#include "about/frm_about.h"
#include "about/help_contents.h"
#include "about/help_menu.h"
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
        ScriptedUi ui;  // no program to find
        frmAbout about;
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

    // "&System Info..." looks for hardinfo2, hardinfo and kinfocenter in this
    // order and starts the first one found by its full path; a path of 1024
    // bytes or more is no answer. When none is found or the start fails: one
    // box, style 0, no title (the program's name shows).
    void system_info_data() {
        QTest::addColumn<QStringList>("found");  // programs on the search path
        QTest::addColumn<int>("depth");          // bytes of their folder's path
        QTest::addColumn<bool>("startWorks");
        QTest::addColumn<qsizetype>("sought");  // how many of the names were looked for
        QTest::addColumn<QString>("started");   // "" for none
        const QStringList all{"kinfocenter", "hardinfo", "hardinfo2"};
        QTest::newRow("first of all") << all << 4 << true << qsizetype(1) << "hardinfo2";
        QTest::newRow("then hardinfo") << all.mid(0, 2) << 4 << true << qsizetype(2) << "hardinfo";
        QTest::newRow("kinfocenter last")
            << all.mid(0, 1) << 4 << true << qsizetype(3) << "kinfocenter";
        QTest::newRow("start fails") << all.mid(1, 1) << 4 << false << qsizetype(2) << "hardinfo";
        QTest::newRow("none") << QStringList{"msinfo32"} << 4 << true << qsizetype(3) << "";
        QTest::newRow("path of 1023 bytes") << all << 1013 << true << qsizetype(1) << "hardinfo2";
        QTest::newRow("path of 1024 bytes") << all << 1014 << true << qsizetype(1) << "";
    }
    void system_info() {
        QFETCH(QStringList, found);
        QFETCH(int, depth);
        QFETCH(bool, startWorks);
        QFETCH(qsizetype, sought);
        QFETCH(QString, started);
        const QString folder = '/' + QString(depth - 1, 'p');
        ScriptedUi ui;
        for (const QString& name : found) ui.programs.insert(name, folder + '/' + name);
        ui.startSucceeds = startWorks;
        QWidget owner;
        doze::StartSysInfo(&owner);
        QCOMPARE(ui.sought, QStringList({"hardinfo2", "hardinfo", "kinfocenter"}).mid(0, sought));
        QCOMPARE(ui.started,
                 started.isEmpty() ? QStringList{} : QStringList{folder + '/' + started});
        QCOMPARE(ui.messages,
                 started.isEmpty() || !startWorks  // no title: the program's name
                     ? QStringList{" 0: System Information Is Unavailable At This Time"}
                     : QStringList{});
    }
};

QTEST_MAIN(TestAbout)
#include "tst_about.moc"
