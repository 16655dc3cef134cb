// The About window: its layout, its keys, the document Help, Contents opens;
// and the look-ups behind "System Info": GetKeyValue, the settings store on
// Linux, and StartSysInfo (the two look-ups in order, the file test, the
// start, the message).
#include <QtTest>
#include <QtWidgets>

#include "about/frm_about.h"
#include "about/help_contents.h"
#include "about/help_menu.h"
#include "about/key_value.h"
#include "about/settings_store_linux.h"
#include "about/sys_info.h"
#include "doubles/about_fakes.h"
#include "doubles/scripted_ui.h"
#include "ui/mime_associations.h"

using doze::frmAbout;
using doze::testing::ScriptedStore;
using doze::testing::ScriptedUi;

namespace {
const QByteArray kKey1 = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
const QByteArray kKey2 = "SOFTWARE\\Microsoft\\Shared Tools Location";
}  // namespace

class TestAbout : public QObject {
    Q_OBJECT
  private slots:
    // The window's texts and look: light orange, the separator engraved
    // (grey over white). (Captions whole in their boxes: tst_frm_main.) OK
    // is the default button and closes it; "&System Info..." looks
    // the tool up and tells when there is none.
    void texts_look_and_buttons() {
        ScriptedUi ui;
        ScriptedStore store;  // nothing to find
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
        QCOMPARE(ui.messages.size() + store.opened.size(), 3);
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

    // A CHM viewer as the desktop's associations register it, from the user's
    // mimeapps.list and two copies of xchm.desktop, the user's and the system's.
    void chm_viewer_registered_data() {
        QTest::addColumn<QStringList>("files");  // mimeapps.list, user's, system's
        QTest::addColumn<bool>("registered");
        const QString type = "application/vnd.ms-htmlhelp", chm = "MimeType=" + type + ';';
        const QString list = "[%1]\n" + type + "=xchm.desktop";
        QTest::newRow("its .desktop file") << QStringList{"", "", chm} << true;
        QTest::newRow("a default")
            << QStringList{list.arg("Default Applications"), "", "Name=x"} << true;
        QTest::newRow("removed") << QStringList{list.arg("Removed Associations"), "", chm} << false;
        QTest::newRow("hidden by the user") << QStringList{"", chm + "\nHidden=true", chm} << false;
        QTest::newRow("other types only") << QStringList{"", "", "MimeType=text/html;"} << false;
    }
    void chm_viewer_registered() {
        QFETCH(QStringList, files);
        QFETCH(bool, registered);
        QTemporaryDir root;
        const QStringList paths{"config/mimeapps.list", "home/applications/xchm.desktop",
                                "data/applications/xchm.desktop"};
        for (int i = 0; i < 3; ++i) {
            QFile file(root.filePath(paths[i]));
            if (files[i].isEmpty()) continue;
            QVERIFY(QDir().mkpath(QFileInfo(file).path()) && file.open(QFile::WriteOnly));
            file.write(((i > 0 ? "[Desktop Entry]\n" : "") + files[i]).toUtf8());
        }
        const doze::AssociationFolders folders{{root.filePath("config")},
                                               {root.filePath("home"), root.filePath("data")}};
        QCOMPARE(doze::HasRegisteredApplication("application/vnd.ms-htmlhelp", folders),
                 registered);
    }

    // The read-only stand-in for the settings store on Linux. Look-up 1 answers, as a text value
    // with its NUL, the first of the tools in their order, then in the order of the folders on
    // PATH, that can run. Look-up 2 misses.
    void answers_the_first_tool_data() {
        QTest::addColumn<QStringList>("files");  // "<folder 1|2>/<name>"; "-x": cannot run
        QTest::addColumn<QString>("expected");   // one of them, or "" (miss)
        QTest::newRow("tool order first")
            << QStringList{"1/kinfocenter", "1/hardinfo", "2/hardinfo2"} << "2/hardinfo2";
        QTest::newRow("then path order") << QStringList{"1/hardinfo", "2/hardinfo"} << "1/hardinfo";
        QTest::newRow("cannot run")
            << QStringList{"1/hardinfo2-x", "2/kinfocenter"} << "2/kinfocenter";
        QTest::newRow("none") << QStringList{"1/msinfo32"} << "";
    }
    void answers_the_first_tool() {
        QFETCH(QStringList, files);
        QFETCH(QString, expected);
        QTemporaryDir one, two;
        const auto path = [&](const QString& file) {
            return (file[0] == '1' ? one : two).filePath(file.mid(2).section("-x", 0, 0));
        };
        for (const QString& name : files) {
            QFile file(path(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.setPermissions(QFile::ReadOwner | QFile::WriteOwner |
                                (name.endsWith("-x") ? QFile::Permissions() : QFile::ExeOwner));
        }
        const QByteArray saved = qgetenv("PATH");
        const auto restore = qScopeGuard([&saved] { qputenv("PATH", saved); });
        qputenv("PATH", QFile::encodeName(one.path() + ':' + two.path()));
        doze::StandInSettingsStore store;
        doze::StoreKey key = 0;
        QVERIFY(store.OpenKey(doze::kHkeyLocalMachine, kKey2, 0, doze::kKeyRead, key) != 0);
        QCOMPARE(store.OpenKey(doze::kHkeyLocalMachine, kKey1, 0, doze::kKeyRead, key), 0L);
        char data[1024];
        std::uint32_t type = 0, size = sizeof data;
        const long result = store.QueryValue(key, "PATH", type, data, size);
        store.CloseKey(key);
        QCOMPARE(result == 0, !expected.isEmpty());
        if (result != 0) return;
        QCOMPARE(type, doze::kTypeText);
        QCOMPARE(QByteArray(data, size), QFile::encodeName(path(expected)) + '\0');
    }

    void starts_or_tells_data() {
        QTest::addColumn<int>("type1");        // type of "PATH"; 0: key without the value
        QTest::addColumn<QByteArray>("path");  // its data
        QTest::addColumn<QString>("folder");   // "MSINFO" names a folder holding "file",
                                               // "nothing"; "": no such value
        QTest::addColumn<bool>("startWorks");
        QTest::addColumn<QString>("started");  // "<dir>" stands for the folder
        QTest::addColumn<int>("lookUps");      // keys opened
        const QByteArray data = "/no/such/msinfo32";
        const QString missing = QString::fromLatin1(data);
        // Look-up 1 wins, starts as read (no existence test), look-up 2 is not made.
        QTest::newRow("1 with NUL") << 1 << data + '\0' << "file" << true << missing << 1;
        QTest::newRow("1 start fails") << 1 << data << "file" << false << missing << 1;
        QTest::newRow("1 type 2: empty start") << 2 << data << "file" << true << "" << 1;
        QTest::newRow("1 no data") << 1 << QByteArray() << "file" << true << "" << 1;
        // Look-up 1 misses: look-up 2's folder must hold MSINFO32.EXE.
        QTest::newRow("2 file") << 0 << QByteArray() << "file" << true << "<dir>/MSINFO32.EXE" << 2;
        QTest::newRow("1 over 1024, 2 file")
            << 1 << QByteArray(1025, 'a') << "file" << true << "<dir>/MSINFO32.EXE" << 2;
        QTest::newRow("2 no file") << 0 << QByteArray() << "nothing" << true << "" << 2;
        QTest::newRow("both miss") << 0 << QByteArray() << "" << true << "" << 2;
        // GetKeyValue: one NUL trimmed, the buffer's edge, numbers.
        QTest::newRow("1 only one NUL trimmed") << 1 << QByteArray("ab\0c\0\0", 6) << "" << true
                                                << QString::fromLatin1("ab\0c\0", 5) << 1;
        QTest::newRow("1 1024 bytes fit")
            << 1 << QByteArray(1024, 'a') << "" << true << QString(1024, 'a') << 1;
        QTest::newRow("1 number") << 4 << QByteArray::fromHex("78563412") << "" << true
                                  << "305419896" << 1;
        QTest::newRow("1 number max")
            << 4 << QByteArray::fromHex("ffffffff") << "" << true << "4294967295" << 1;
        QTest::newRow("1 number over 32 bits")
            << 4 << QByteArray::fromHex("0102030405") << "file" << true << "" << 1;
    }
    void starts_or_tells() {
        QFETCH(int, type1);
        QFETCH(QByteArray, path);
        QFETCH(QString, folder);
        QFETCH(bool, startWorks);
        QFETCH(QString, started);
        QFETCH(int, lookUps);
        QTemporaryDir dir;
        if (folder == "file")
            QVERIFY(QFile(dir.filePath("MSINFO32.EXE")).open(QIODevice::WriteOnly));
        ScriptedStore store;
        store.AddKey(kKey1);
        if (type1 != 0) store.Set(kKey1, "PATH", {std::uint32_t(type1), path});
        if (!folder.isEmpty()) store.Set(kKey2, "MSINFO", {1, dir.path().toLocal8Bit() + '\0'});
        ScriptedUi ui;
        ui.startSucceeds = startWorks;
        QWidget owner;

        doze::StartSysInfo(&owner, store);

        QCOMPARE(ui.started, started.isEmpty() ? QStringList{}
                                               : QStringList{started.replace("<dir>", dir.path())});
        const QStringList order{kKey1 + " 0x20019", kKey2 + " 0x20019"};
        QCOMPARE(store.opened, order.mid(0, lookUps));
        QCOMPARE(store.openKeys, 0);
        // Every failure: one box, style 0, no title (the program's name shows).
        QStringList told;
        for (const auto& m : ui.messages)
            told << QStringLiteral("%1 %2 [%3]").arg(m.text).arg(m.style).arg(m.title);
        QCOMPARE(told, started.isEmpty() || !startWorks
                           ? QStringList{"System Information Is Unavailable At This Time 0 []"}
                           : QStringList{});
    }
};

QTEST_MAIN(TestAbout)
#include "tst_about.moc"
