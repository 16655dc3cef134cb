// The About window: its layout, its keys, its modality and its lifetime.
#include <QtTest>
#include <QtWidgets>

#include "about/about_entry.h"
#include "about/frm_about.h"
#include "about/line_control.h"
#include "about/testing/fakes.h"
#include "app/testing/scripted_ui.h"

using doze::frmAbout;
using doze::testing::ScriptedStore;
using doze::testing::ScriptedUi;

namespace {

const QColor kLightOrange(255, 192, 128);

// Runs `check` on the modal About window once it is up, then presses OK.
void WhenModal(const std::function<void(frmAbout*)>& check) {
    QTimer::singleShot(0, [check] {
        auto* about = qobject_cast<frmAbout*>(QApplication::activeModalWidget());
        QVERIFY(about != nullptr);
        check(about);
        about->cmdOK->click();
    });
}

}  // namespace

class TestFrmAbout : public QObject {
    Q_OBJECT
  private slots:
    void layout_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QRect>("twips");
        QTest::newRow("cmdOK") << "OK" << QRect(4245, 2625, 1260, 345);
        QTest::newRow("picIcon") << "" << QRect(240, 240, 540, 540);
        QTest::newRow("cmdSysInfo") << "&System Info..." << QRect(4260, 3075, 1245, 345);
        QTest::newRow("lblDescription")
            << "Made by Vovezaduvu, 2024." << QRect(1050, 1080, 3885, 210);
        QTest::newRow("lblDisclaimer") << "Warning: This program is protected by copyright laws.  "
                                          "It comes with no warranty of any kind."
                                       << QRect(255, 2625, 3870, 825);
        QTest::newRow("lblTitle") << "Vovezaduvu's Dozedozovo" << QRect(1050, 240, 3885, 240);
        QTest::newRow("lblVersion") << "Version 2.0" << QRect(1050, 480, 3885, 225);
    }
    // Every caption, in its place (twips / 15), and fitting it in the default font.
    void layout() {
        QFETCH(QString, text);
        QFETCH(QRect, twips);
        frmAbout about;
        auto* widget = about.findChild<QWidget*>(QTest::currentDataTag());
        QVERIFY(widget != nullptr);
        const QRect place(twips.x() / 15, twips.y() / 15, twips.width() / 15, twips.height() / 15);
        if (auto* button = qobject_cast<QPushButton*>(widget)) {
            QCOMPARE(button->text(), text);
            QVERIFY(button->sizeHint().width() <= button->width());
            // Only widened, leftwards, when its caption needs it.
            QCOMPARE(button->geometry().adjusted(button->width() - place.width(), 0, 0, 0), place);
            QVERIFY(!button->geometry().intersects(about.lblDisclaimer->geometry()));
        } else {
            auto* label = qobject_cast<QLabel*>(widget);
            QCOMPARE(label->text(), text);
            QCOMPARE(label->geometry(), place);
            const QRect needed = label->fontMetrics().boundingRect(
                QRect(0, 0, label->width(), 1000), Qt::TextWordWrap, text);
            QVERIFY(needed.width() <= label->width());
            QVERIFY(needed.height() <= label->height() + 2);
            QCOMPARE(label->focusPolicy(), Qt::NoFocus);
        }
    }

    void look() {
        frmAbout about;
        QCOMPARE(about.windowTitle(), QString("About Dozedozovo"));
        QCOMPARE(about.size(), QSize(382, 237));
        QCOMPARE(about.minimumSize(), about.maximumSize());
        QVERIFY(
            !(about.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
        QVERIFY(!about.windowIcon().isNull());
        QCOMPARE(about.picIcon->pixmap().size(), QSize(32, 32));
        for (QLabel* label : {about.lblTitle, about.lblDescription, about.lblDisclaimer}) {
            QCOMPARE(label->palette().color(QPalette::WindowText), QColor(Qt::black));
        }
        QCOMPARE(about.lblVersion->palette().color(QPalette::WindowText),
                 QApplication::palette(about.lblVersion).color(QPalette::WindowText));
        about.show();
        const QImage image = about.grab().toImage();
        QCOMPARE(image.pixelColor(20, 120), kLightOrange);          // window
        QCOMPARE(image.pixelColor(17, 17), kLightOrange);           // picIcon's corner
        QCOMPARE(image.pixelColor(300, 70), kLightOrange);          // through a label
        QCOMPARE(image.pixelColor(6, 163), QColor(128, 128, 128));  // Line1(1)
        QCOMPARE(image.pixelColor(377, 163), QColor(128, 128, 128));
        QCOMPARE(image.pixelColor(7, 164), QColor(Qt::white));  // Line1(0), 2 pixels
        QCOMPARE(image.pixelColor(377, 165), QColor(Qt::white));
        QCOMPARE(image.pixelColor(100, 166), kLightOrange);
        const QPoint centre = about.screen()->availableGeometry().center();
        QVERIFY((about.frameGeometry().center() - centre).manhattanLength() <= 2);
    }

    void keys_data() {
        QTest::addColumn<bool>("onSysInfo");  // focus moved to "&System Info..." by Tab
        QTest::addColumn<Qt::Key>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<bool>("closes");
        QTest::newRow("Enter") << false << Qt::Key_Return << 0 << true;
        QTest::newRow("keypad Enter") << false << Qt::Key_Enter << 0 << true;
        QTest::newRow("Esc") << false << Qt::Key_Escape << 0 << true;
        QTest::newRow("Esc on System Info") << true << Qt::Key_Escape << 0 << true;
        QTest::newRow("Enter on System Info") << true << Qt::Key_Return << 0 << false;
        QTest::newRow("Alt+S") << false << Qt::Key_S << int(Qt::AltModifier) << false;
    }
    void keys() {
        QFETCH(bool, onSysInfo);
        QFETCH(Qt::Key, key);
        QFETCH(int, modifiers);
        QFETCH(bool, closes);
        ScriptedUi ui;
        ScriptedStore store;  // nothing to find: System Info tells so
        frmAbout about(nullptr, &store);
        about.show();
        QVERIFY(QTest::qWaitForWindowActive(&about));
        QCOMPARE(QApplication::focusWidget(), about.cmdOK);
        if (onSysInfo) QTest::keyClick(about.cmdOK, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), onSysInfo ? about.cmdSysInfo : about.cmdOK);
        QTest::keyClick(QApplication::focusWidget(), key, Qt::KeyboardModifiers(modifiers));
        QTRY_COMPARE(ui.messages.size(), closes ? 0 : 1);  // an access key animates its press
        QCOMPARE(about.isVisible(), !closes);
        if (!closes) {  // System Info leaves the window open; OK still closes it
            QTest::mouseClick(about.cmdOK, Qt::LeftButton);
            QVERIFY(!about.isVisible());
        }
    }

    // Help, About...: modal over the whole program, and a fresh window each time.
    void modalAndFresh() {
        QWidget owner;
        auto* go = new QPushButton("Go", &owner);
        int clicks = 0;
        connect(go, &QPushButton::clicked, [&clicks] { ++clicks; });
        owner.show();
        QVERIFY(QTest::qWaitForWindowExposed(&owner));
        const auto clickGo = [&] {  // through the window system, where modality blocks
            QTest::mouseClick(owner.windowHandle(), Qt::LeftButton, {}, go->geometry().center());
        };
        QPointer<frmAbout> first;
        WhenModal([&](frmAbout* about) {
            QCOMPARE(about->windowModality(), Qt::ApplicationModal);
            clickGo();
            first = about;
            about->lblTitle->setText("changed");
        });
        doze::ShowAboutWindow(&owner);
        QCOMPARE(clicks, 0);
        QVERIFY(first.isNull());  // destroyed when closed
        clickGo();
        QCOMPARE(clicks, 1);
        QString title;
        WhenModal([&](frmAbout* about) { title = about->lblTitle->text(); });
        doze::ShowAboutWindow(&owner);
        QCOMPARE(title, QString("Vovezaduvu's Dozedozovo"));
    }
};

QTEST_MAIN(TestFrmAbout)
#include "tst_frm_about.moc"
