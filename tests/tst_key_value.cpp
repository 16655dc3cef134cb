// GetKeyValue: the trimming, the buffer's edge, numbers (the rest: tst_sys_info).
#include <QTest>

#include "about/key_value.h"
#include "about/sys_info_failure.h"
#include "doubles/about_fakes.h"

using doze::testing::ScriptedStore;

class TestKeyValue : public QObject {
    Q_OBJECT
  private slots:
    void reads_data() {
        QTest::addColumn<uint>("type");
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QString>("keyVal");  // "<throws>": a failure for the caller
        QTest::newRow("only one NUL trimmed")
            << 1u << QByteArray("ab\0c\0\0", 6) << QString::fromLatin1("ab\0c\0", 5);
        QTest::newRow("1024 bytes fit") << 1u << QByteArray(1024, 'a') << QString(1024, 'a');
        QTest::newRow("number") << 4u << QByteArray::fromHex("78563412") << "305419896";
        QTest::newRow("number max") << 4u << QByteArray::fromHex("ffffffff") << "4294967295";
        QTest::newRow("number over 32 bits")
            << 4u << QByteArray::fromHex("0102030405") << "<throws>";
    }
    void reads() {
        QFETCH(uint, type);
        QFETCH(QByteArray, data);
        QFETCH(QString, keyVal);
        ScriptedStore store;
        store.Set("K", "V", {type, data});
        QString value;
        const auto read = [&] {
            return doze::GetKeyValue(store, doze::kHkeyLocalMachine, "K", "V", value);
        };
        if (keyVal == "<throws>") {
            QVERIFY_THROWS_EXCEPTION(doze::SysInfoFailure, read());
        } else {
            QVERIFY(read());
            QCOMPARE(value, keyVal);
        }
        QCOMPARE(store.openKeys, 0);
    }
};

QTEST_GUILESS_MAIN(TestKeyValue)
#include "tst_key_value.moc"
