// The progress window of a run.
#include <QtTest>
#include <QtWidgets>

#include "app/caption_fit.h"
#include "app/frm_progress.h"

class TestFrmProgress : public QObject {
    Q_OBJECT
  private slots:
    void window_properties() {
        QWidget owner;
        QPointer<doze::frmProgress> window = doze::ShowProgressWindow(&owner);
        QVERIFY(window->isVisible() && window->isWindow() && !window->isModal());
        QCOMPARE(window->windowTitle(), QStringLiteral("Search in Progress"));
        QCOMPARE(window->size(), QSize(348, 99));
        QCOMPARE(window->minimumSize(), window->maximumSize());
        QVERIFY(!(window->windowFlags() &
                  (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
        QCOMPARE(window->Label1->text(), QStringLiteral("Please wait..."));
        QCOMPARE(window->Label1->geometry(), QRect(120 / 15, 240 / 15, 4935 / 15, 255 / 15));
        QVERIFY(doze::CaptionFits(window->Label1->font(), {"Please wait...", QSize(329, 17)}));
        window->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(window.isNull());
    }
};

QTEST_MAIN(TestFrmProgress)
#include "tst_frm_progress.moc"
