#pragma once

#include "mainwindowform.h"

#include <QMainWindow>

namespace tovin {

// The main window "frmMain".
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget *parent = nullptr);

    const MainWindowForm &form() const { return m_form; }

private:
    MainWindowForm m_form;
};

} // namespace tovin
