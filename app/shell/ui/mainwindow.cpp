#include "mainwindow.h"

namespace tovin {

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent)
    , m_form(buildMainWindowForm(*this))
{
}

} // namespace tovin
