#include "aboutwindow.h"

#include "messagetable.h"
#include "programartwork.h"
#include "programversion.h"
#include "userprompts.h"

#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

namespace tovin {

const QString AboutWindow::supportAddress = QStringLiteral("https://tovin.example.org/support");

namespace {

template<typename Widget> Widget *makeControl(QWidget *parent, const char *name)
{
    auto *widget = new Widget(parent);
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

} // namespace

AboutWindow::AboutWindow(UserPrompts &prompts, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(message(113));
    setModal(true);

    auto *Image1 = makeControl<QLabel>(this, "Image1");
    Image1->setPixmap(programEmblem(64));
    auto *lblTitle = makeControl<QLabel>(this, "lblTitle");
    lblTitle->setText(message(116));
    QFont titleFont = lblTitle->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.4);
    titleFont.setBold(true);
    lblTitle->setFont(titleFont);
    auto *lblVersion = makeControl<QLabel>(this, "lblVersion");
    lblVersion->setText(programVersionText());
    auto *aboutText = makeControl<QPlainTextEdit>(this, "aboutText");
    aboutText->setReadOnly(true);
    aboutText->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    aboutText->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    aboutText->setPlainText(message(100));
    auto *urlLabel = makeControl<QLabel>(this, "urlLabel");
    // The caption's "&&" is one ampersand on screen.
    urlLabel->setText(QStringLiteral("Helps & Supports: <a href=\"%1\">%1</a>").arg(supportAddress));
    urlLabel->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    urlLabel->setOpenExternalLinks(false);
    connect(urlLabel, &QLabel::linkActivated, this, [&prompts] { prompts.openDocument(supportAddress); });
    auto *Line1 = makeControl<QFrame>(this, "Line1");
    Line1->setFrameShape(QFrame::HLine);
    Line1->setFrameShadow(QFrame::Sunken);
    auto *lblDisclaimer = makeControl<QLabel>(this, "lblDisclaimer");
    lblDisclaimer->setText(QStringLiteral("Free to use and to share; it comes with no warranty of any kind."));
    auto *cmdOK = makeControl<QPushButton>(this, "cmdOK");
    cmdOK->setText(message(101));
    cmdOK->setDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);

    auto *layout = new QGridLayout(this);
    layout->addWidget(Image1, 0, 0, 2, 1, Qt::AlignTop);
    layout->addWidget(lblTitle, 0, 1);
    layout->addWidget(lblVersion, 1, 1);
    layout->addWidget(aboutText, 2, 0, 1, 2);
    layout->addWidget(urlLabel, 3, 0, 1, 2);
    layout->addWidget(Line1, 4, 0, 1, 2);
    layout->addWidget(lblDisclaimer, 5, 0, 1, 2);
    layout->addWidget(cmdOK, 6, 1, Qt::AlignRight);
    layout->setColumnStretch(1, 1);
    resize(440, 340);
    setFixedSize(size());
}

} // namespace tovin
