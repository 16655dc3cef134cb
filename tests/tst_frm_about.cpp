// The About window: its layout, its keys, its modality and its lifetime.
#include <QtTest>
#include <QtWidgets>

#include "about/frm_about.h"
#include "about/help_menu.h"
#include "doubles/about_fakes.h"
#include "doubles/scripted_ui.h"

using doze::frmAbout;
using doze::testing::ScriptedStore;
using doze::testing::ScriptedUi;

class TestFrmAbout : public QObject {
    Q_OBJECT
  private slots:
    void layout_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QRect>("twips");
        QTest::newRow("frmAbout") << "About Dozedozovo" << QRect(0, 0, 5730, 3555);
        QTest::newRow("cmdOK") << "OK" << QRect(4245, 2625, 1260, 345);
        QTest::newRow("cmdSysInfo") << "&System Info..." << QRect(4260, 3075, 1245, 345);
        QTest::newRow("picIcon") << "" << QRect(240, 240, 540, 540);
        QTest::newRow("lblDescription")
            << "Made by Vovezaduvu, 2024." << QRect(1050, 1080, 3885, 210);
        QTest::newRow("lblDisclaimer") << "Warning: This program is protected by copyright laws.  "
                                          "It comes with no warranty of any kind."
                                       << QRect(255, 2625, 3870, 825);
        QTest::newRow("lblTitle") << "Vovezaduvu's Dozedozovo" << QRect(1050, 240, 3885, 240);
        QTest::newRow("lblVersion") << "Version 2.0" << QRect(1050, 480, 3885, 225);
    }
    // The window's caption, fixed size and look; every caption in its place
    // (twips / 15), fitting it in the default font; a button is only widened,
    // leftwards, when its caption needs it.
    void layout() {
        QFETCH(QString, text);
        QFETCH(QRect, twips);
        frmAbout about;
        const QRect place(twips.x() / 15, twips.y() / 15, twips.width() / 15, twips.height() / 15);
        if (about.objectName() == QTest::currentDataTag()) {
            QCOMPARE(about.windowTitle(), text);
            QCOMPARE(about.size(), place.size());
            QCOMPARE(about.minimumSize(), about.maximumSize());
            QVERIFY(!about.windowIcon().isNull());
            about.show();  // light orange, the separator engraved: grey over white
            const QImage image = about.grab().toImage();
            QCOMPARE(image.pixelColor(20, 120), QColor(255, 192, 128));
            QCOMPARE((QList<QColor>{image.pixelColor(100, 163), image.pixelColor(100, 164),
                                    image.pixelColor(100, 165)}),
                     (QList<QColor>{QColor(128, 128, 128), Qt::white, Qt::white}));
            return;
        }
        auto* widget = about.findChild<QWidget*>(QTest::currentDataTag());
        QVERIFY(widget != nullptr);
        QCOMPARE(widget->property("text").toString(), text);
        if (auto* button = qobject_cast<QPushButton*>(widget)) {
            QVERIFY(button->sizeHint().width() <= button->width());
            QCOMPARE(button->geometry().adjusted(button->width() - place.width(), 0, 0, 0), place);
        } else {
            auto* label = qobject_cast<QLabel*>(widget);
            QCOMPARE(label->geometry(), place);
            const QRect needed = label->fontMetrics().boundingRect(
                QRect(0, 0, label->width(), 1000), Qt::TextWordWrap, text);
            QVERIFY(needed.width() <= label->width() && needed.height() <= label->height() + 2);
        }
    }

    // OK is the default and Esc's button; Enter on a focused "&System Info..." presses it.
    void keys_data() {
        QTest::addColumn<bool>("onSysInfo");  // focus moved to "&System Info..." by Tab
        QTest::addColumn<Qt::Key>("key");
        QTest::addColumn<bool>("closes");
        QTest::newRow("Enter") << false << Qt::Key_Return << true;
        QTest::newRow("Esc") << false << Qt::Key_Escape << true;
        QTest::newRow("Enter on System Info") << true << Qt::Key_Return << false;
    }
    void keys() {
        QFETCH(bool, onSysInfo);
        QFETCH(Qt::Key, key);
        QFETCH(bool, closes);
        ScriptedUi ui;
        ScriptedStore store;  // nothing to find: System Info tells so
        frmAbout about(nullptr, &store);
        about.show();
        QVERIFY(QTest::qWaitForWindowActive(&about));
        if (onSysInfo) QTest::keyClick(about.cmdOK, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), onSysInfo ? about.cmdSysInfo : about.cmdOK);
        QTest::keyClick(QApplication::focusWidget(), key);
        QCOMPARE(ui.messages.size(), closes ? 0 : 1);
        QCOMPARE(about.isVisible(), !closes);
    }

    // Help, About...: modal over the whole program, returning when closed, the
    // window then destroyed; a fresh window each time.
    void modal_and_fresh() {
        QWidget owner;
        QStringList seen;  // "<modality> <lblTitle>" of each showing
        QList<QPointer<frmAbout>> shown;
        for (int i = 1; i <= 2; ++i) {
            QTimer::singleShot(0, [&] {
                auto* about = qobject_cast<frmAbout*>(QApplication::activeModalWidget());
                if (!about) return;
                seen << QString::number(about->windowModality()) + ' ' + about->lblTitle->text();
                shown << about;
                about->lblTitle->setText("changed");
                about->cmdOK->click();
            });
            doze::ShowAboutWindow(&owner);
            QCOMPARE(seen.size(), i);
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QVERIFY(shown.last().isNull());
        }
        QCOMPARE(seen, QStringList(2, "2 Vovezaduvu's Dozedozovo"));  // 2: application modal
    }
};

QTEST_MAIN(TestFrmAbout)
#include "tst_frm_about.moc"
