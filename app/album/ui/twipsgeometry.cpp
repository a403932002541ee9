#include "twipsgeometry.h"

#include "units.h"

#include <QWidget>

#include <cmath>

namespace tovin {

int twipsToPixels(double twips, const QWidget *widget)
{
    return int(std::lround(twips * widget->logicalDpiX() / kTwipsPerInch));
}

QRect twipsRect(double left, double top, double width, double height, const QWidget *widget)
{
    return {twipsToPixels(left, widget), twipsToPixels(top, widget), twipsToPixels(width, widget),
            twipsToPixels(height, widget)};
}

QSize twipsSize(double width, double height, const QWidget *widget)
{
    return {twipsToPixels(width, widget), twipsToPixels(height, widget)};
}

void useDesignFont(QWidget *window)
{
    QFont font = window->font();
    font.setPointSizeF(8);
    window->setFont(font);
}

} // namespace tovin
