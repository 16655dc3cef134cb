// StartSysInfo: the two look-ups, the file test, the start and the message.
#include <QtTest>

#include "about/sys_info.h"
#include "about/testing/fakes.h"
#include "app/testing/scripted_ui.h"

using doze::testing::ScriptedStore;
using doze::testing::ScriptedUi;

namespace {
const QByteArray kKey1 = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
const QByteArray kKey2 = "SOFTWARE\\Microsoft\\Shared Tools Location";
}  // namespace

class TestSysInfo : public QObject {
    Q_OBJECT
  private slots:
    void startsOrTells_data() {
        QTest::addColumn<int>("type1");         // type of "PATH"; 0: key without the value
        QTest::addColumn<QByteArray>("path");   // its data
        QTest::addColumn<bool>("lookUp2");      // "MSINFO" names the temporary folder
        QTest::addColumn<QString>("inFolder");  // "file", "folder" or "" for MSINFO32.EXE
        QTest::addColumn<bool>("startWorks");
        QTest::addColumn<QString>("started");  // "<dir>" stands for the folder
        QTest::addColumn<int>("lookUps");      // keys opened
        const QByteArray missing = "/no/such/msinfo32";
        // Look-up 1 wins, starts as read (no existence test), look-up 2 is not made.
        QTest::newRow("1 with NUL")
            << 1 << missing + '\0' << true << "file" << true << "/no/such/msinfo32" << 1;
        QTest::newRow("1 without NUL")
            << 1 << missing << true << "file" << true << "/no/such/msinfo32" << 1;
        QTest::newRow("1 start fails")
            << 1 << missing << true << "file" << false << "/no/such/msinfo32" << 1;
        QTest::newRow("1 type 2: empty start") << 2 << missing << true << "file" << true << "" << 1;
        QTest::newRow("1 no data: trap") << 1 << QByteArray() << true << "file" << true << "" << 1;
        // Look-up 1 misses: look-up 2's folder must hold a normal MSINFO32.EXE.
        QTest::newRow("2 file") << 0 << QByteArray() << true << "file" << true
                                << "<dir>/MSINFO32.EXE" << 2;
        QTest::newRow("1 over 1024, 2 file")
            << 1 << QByteArray(1025, 'a') << true << "file" << true << "<dir>/MSINFO32.EXE" << 2;
        QTest::newRow("2 no file") << 0 << QByteArray() << true << "" << true << "" << 2;
        QTest::newRow("2 a folder") << 0 << QByteArray() << true << "folder" << true << "" << 2;
        QTest::newRow("both miss") << 0 << QByteArray() << false << "" << true << "" << 2;
    }
    void startsOrTells() {
        QFETCH(int, type1);
        QFETCH(QByteArray, path);
        QFETCH(bool, lookUp2);
        QFETCH(QString, inFolder);
        QFETCH(bool, startWorks);
        QFETCH(QString, started);
        QFETCH(int, lookUps);
        QTemporaryDir dir;
        const QString program = dir.filePath("MSINFO32.EXE");
        if (inFolder == "file") QVERIFY(QFile(program).open(QIODevice::WriteOnly));
        if (inFolder == "folder") QVERIFY(QDir().mkdir(program));
        ScriptedStore store;
        store.AddKey(kKey1);
        if (type1 != 0) store.Set(kKey1, "PATH", {std::uint32_t(type1), path});
        if (lookUp2) store.Set(kKey2, "MSINFO", {1, dir.path().toLocal8Bit() + '\0'});
        ScriptedUi ui;
        ui.startSucceeds = startWorks;
        QWidget owner;

        doze::StartSysInfo(&owner, store);

        started.replace("<dir>", dir.path());
        QCOMPARE(ui.started.value(0), started);
        QVERIFY(ui.started.size() <= 1);
        const QStringList order{kKey1 + " 0x20019", kKey2 + " 0x20019"};
        QCOMPARE(store.opened, order.mid(0, lookUps));
        QCOMPARE(store.openKeys, 0);
        const bool told = started.isEmpty() || !startWorks;
        QCOMPARE(ui.messages.size(), told ? 1 : 0);
        if (told) {
            QCOMPARE(ui.messages[0].text,
                     QString("System Information Is Unavailable At This Time"));
            QCOMPARE(ui.messages[0].style, 0);
            QVERIFY(ui.messages[0].title.isEmpty());
            QCOMPARE(ui.messages[0].owner, &owner);
        }
    }

    // The file test of look-up 2: a normal file, also through a link; not a
    // hidden one, a folder, a dangling link or nothing.
    void normalFile() {
        QTemporaryDir dir;
        QVERIFY(QFile(dir.filePath("f")).open(QIODevice::WriteOnly));
        QVERIFY(QFile(dir.filePath(".f")).open(QIODevice::WriteOnly));
        QVERIFY(QFile::link(dir.filePath("f"), dir.filePath("link")));
        QVERIFY(QFile::link(dir.filePath("gone"), dir.filePath("broken")));
        const std::pair<const char*, bool> cases[] = {{"f", true},       {"link", true},
                                                      {".f", false},     {".", false},
                                                      {"broken", false}, {"none", false}};
        for (const auto& [name, normal] : cases) {
            QVERIFY2(doze::IsNormalFile(dir.filePath(name)) == normal, name);
        }
    }
};

QTEST_MAIN(TestSysInfo)
#include "tst_sys_info.moc"
