#include "messagetable.h"
#include "qtuserprompts.h"
#include "recordstore.h"
#include "startup.h"

#include <QApplication>
#include <QLabel>
#include <QMainWindow>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    const QString programFolder = QCoreApplication::applicationDirPath();

    tovin::QtUserPrompts prompts;
    tovin::RecordStore records(programFolder, prompts);
    if (!tovin::prepareProgramFolder(programFolder, records, prompts))
        return 1;

    QMainWindow frmMain;
    frmMain.setObjectName(QStringLiteral("frmMain"));
    frmMain.setWindowTitle(tovin::message(116));
    auto *title = new QLabel(tovin::message(116), &frmMain);
    title->setAlignment(Qt::AlignCenter);
    QFont font = title->font();
    font.setPointSizeF(font.pointSizeF() * 1.6);
    title->setFont(font);
    frmMain.setCentralWidget(title);
    frmMain.setFixedSize(697, 401);
    prompts.setOwner(&frmMain);
    frmMain.show();
    return application.exec();
}
