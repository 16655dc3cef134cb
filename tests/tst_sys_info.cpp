// StartSysInfo: the two look-ups in order, the file test, the start, the message.
#include <QtTest>

#include "about/sys_info.h"
#include "doubles/about_fakes.h"
#include "doubles/scripted_ui.h"

using doze::testing::ScriptedStore;
using doze::testing::ScriptedUi;

namespace {
const QByteArray kKey1 = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
const QByteArray kKey2 = "SOFTWARE\\Microsoft\\Shared Tools Location";
}  // namespace

class TestSysInfo : public QObject {
    Q_OBJECT
  private slots:
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
        QTest::newRow("1 without NUL") << 1 << data << "file" << true << missing << 1;
        QTest::newRow("1 start fails") << 1 << data << "file" << false << missing << 1;
        QTest::newRow("1 type 2: empty start") << 2 << data << "file" << true << "" << 1;
        QTest::newRow("1 no data") << 1 << QByteArray() << "file" << true << "" << 1;
        // Look-up 1 misses: look-up 2's folder must hold MSINFO32.EXE.
        QTest::newRow("2 file") << 0 << QByteArray() << "file" << true << "<dir>/MSINFO32.EXE" << 2;
        QTest::newRow("1 over 1024, 2 file")
            << 1 << QByteArray(1025, 'a') << "file" << true << "<dir>/MSINFO32.EXE" << 2;
        QTest::newRow("2 no file") << 0 << QByteArray() << "nothing" << true << "" << 2;
        QTest::newRow("both miss") << 0 << QByteArray() << "" << true << "" << 2;
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

QTEST_MAIN(TestSysInfo)
#include "tst_sys_info.moc"
