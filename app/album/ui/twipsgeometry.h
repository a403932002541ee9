#pragma once

#include <QRect>
#include <QSize>

class QWidget;

namespace tovin {

// The windows of the batch run are laid out in twips, as designed; on the
// screen a twip is a fifteenth of a pixel at 96 dots per inch.
int twipsToPixels(double twips, const QWidget *widget);
QRect twipsRect(double left, double top, double width, double height, const QWidget *widget);
QSize twipsSize(double width, double height, const QWidget *widget);

// The windows were designed for an 8-point font; a larger one would not fit
// their controls.
void useDesignFont(QWidget *window);

} // namespace tovin
