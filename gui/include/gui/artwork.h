#pragma once

#include <QIcon>
#include <QPixmap>
#include <QSize>

// The logo and the copy button's bitmap, drawn from the project's SVG
// resources at the screen's pixel density, so they stay crisp on high-DPI
// screens.
namespace proxcred::gui {

QPixmap logoPixmap(QSize size, qreal devicePixelRatio);
QIcon copyIcon();
QIcon applicationIcon();

}  // namespace proxcred::gui
