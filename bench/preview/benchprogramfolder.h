#pragma once

#include "userprompts.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>

#include <cstdio>

// A message would stop a benchmark: it is printed instead, and every
// question gets the answer that changes nothing.
class PrintedPrompts final : public tovin::UserPrompts
{
public:
    tovin::PromptAnswer showMessage(const QString &text, const QString &, tovin::PromptIcon,
                                    tovin::PromptButtons) override
    {
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
        return tovin::PromptAnswer::Ok;
    }
    void showNotice(const QString &text, const QString &) override { showMessage(text, {}, {}, {}); }
    tovin::OverwriteAnswer askOverwrite(const QString &) override { return tovin::OverwriteAnswer::Cancel; }
    QString chooseFolder(const QString &) override { return {}; }
    int chooseColor(int) override { return -1; }
    void openDocument(const QString &) override { }
};

// Makes `folder` a program folder of its own, from the one the benchmark runs
// in: the empty Record List, the list's icons and the work folder tmp.
inline void makeProgramFolder(const QString &folder)
{
    const QString built = QCoreApplication::applicationDirPath();
    for (const QString &name : {QStringLiteral("src/dbm/Tovindb.db"), QStringLiteral("src/ico/up.bmp"),
                                QStringLiteral("src/ico/folder.ico"), QStringLiteral("src/ico/file.ico")}) {
        QDir(folder).mkpath(QFileInfo(name).path());
        QFile::copy(built + u'/' + name, QDir(folder).filePath(name));
    }
    QDir(folder).mkpath(QStringLiteral("tmp"));
}
