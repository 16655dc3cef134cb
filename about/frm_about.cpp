// SPDX-License-Identifier: MIT
#include "about/frm_about.h"

#include <QLabel>
#include <QPalette>
#include <QPushButton>

#include "about/line_control.h"
#include "about/sys_info.h"
#include "ui/platform_ui.h"

namespace doze {
namespace {

const QColor kEngraveShadow(0x80, 0x80, 0x80);
const QColor kEngraveLight(0xFF, 0xFF, 0xFF);

QPushButton* MakeButton(QWidget* parent, const QString& text, int left, int top, int width,
                        int height) {
    auto* button = new QPushButton(text, parent);
    button->setGeometry(TwipsRect(left, top, width, height));
    button->setAutoDefault(true);  // Enter presses the button that has the focus
    return button;
}

// Widens a button whose caption does not fit it in the current font, keeping
// its right edge, so it stays flush with the button above it.
void FitButtonLeftwards(QPushButton* button) {
    const int needed = button->sizeHint().width();
    if (needed <= button->width()) return;
    QRect place = button->geometry();
    place.setLeft(place.right() + 1 - needed);
    button->setGeometry(place);
}

}  // namespace

frmAbout::frmAbout(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About Dozedozovo"));
    setWindowIcon(ProgramIcon());
    setWindowModality(Qt::ApplicationModal);
    setFixedSize(Twips(5730), Twips(3555));
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, kLightOrange);
    setPalette(palette);
    setAutoFillBackground(true);

    // Created in tab-index order, so the focus chain and the stacking follow it.
    cmdOK = MakeButton(this, QStringLiteral("OK"), 4245, 2625, 1260, 345);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);

    picIcon = new QLabel(this);
    picIcon->setObjectName(QStringLiteral("picIcon"));
    picIcon->setGeometry(TwipsRect(240, 240, 540, 540));
    picIcon->setAlignment(Qt::AlignCenter);
    picIcon->setPixmap(ProgramIcon().pixmap(Twips(480)));
    picIcon->setAccessibleName(QStringLiteral("Dozedozovo program icon"));
    picIcon->setAutoFillBackground(true);  // its own light orange, the same as the window's

    cmdSysInfo = MakeButton(this, QStringLiteral("&System Info..."), 4260, 3075, 1245, 345);
    cmdSysInfo->setObjectName(QStringLiteral("cmdSysInfo"));
    FitButtonLeftwards(cmdSysInfo);

    lblDescription = MakeLabel(QStringLiteral("Made by Vovezaduvu, 2024."), 1050, 1080, 3885, 210);
    lblDescription->setObjectName(QStringLiteral("lblDescription"));

    lblDisclaimer = MakeLabel(QStringLiteral("Warning: This program is protected by copyright "
                                             "laws.  It comes with no warranty of any kind."),
                              255, 2625, 3870, 825);
    lblDisclaimer->setObjectName(QStringLiteral("lblDisclaimer"));
    lblDisclaimer->setWordWrap(true);
    lblDisclaimer->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    lblTitle = MakeLabel(QStringLiteral("Vovezaduvu's Dozedozovo"), 1050, 240, 3885, 240);
    lblTitle->setObjectName(QStringLiteral("lblTitle"));

    lblVersion = MakeLabel(QStringLiteral("Version 2.0"), 1050, 480, 3885, 225);
    lblVersion->setObjectName(QStringLiteral("lblVersion"));

    // The engraved separator: a grey line one pixel (15 twips) thick with a
    // white one of two pixels just below it.
    Line1[1] = new LineControl(this, kEngraveShadow, 15, 90, 5654, 2445);
    Line1[0] = new LineControl(this, kEngraveLight, 30, 105, 5654, 2460);
    Line1[0]->setObjectName(QStringLiteral("Line1_0"));
    Line1[1]->setObjectName(QStringLiteral("Line1_1"));

    setTabOrder(cmdOK, cmdSysInfo);
    connect(cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);
    connect(cmdSysInfo, &QPushButton::clicked, this, &frmAbout::cmdSysInfo_Click);
}

QLabel* frmAbout::MakeLabel(const QString& text, int left, int top, int width, int height) {
    auto* label = new QLabel(text, this);
    label->setGeometry(TwipsRect(left, top, width, height));
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setAutoFillBackground(false);  // transparent: the window's colour shows through
    UseDarkCaptions(label);               // black, as on the light orange under any desktop scheme
    return label;
}

void frmAbout::showEvent(QShowEvent* event) {
    CentreOnScreen(this);  // on the screen, not over the owner
    QDialog::showEvent(event);
}

void frmAbout::reject() {
    cmdOK_Click();
}

void frmAbout::cmdOK_Click() {
    done(QDialog::Accepted);
}

void frmAbout::cmdSysInfo_Click() {
    StartSysInfo(this);
}

}  // namespace doze
