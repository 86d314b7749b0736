#include "gui/artwork.h"

#include <QPainter>
#include <QSvgRenderer>

// The resources live in a static library: register them before first use.
static void registerArtwork() {
    static const bool registered = [] {
        Q_INIT_RESOURCE(proxcred);
        return true;
    }();
    (void)registered;
}

namespace proxcred::gui {
namespace {

QPixmap render(const QString& resource, QSize size, qreal devicePixelRatio) {
    registerArtwork();
    QSvgRenderer renderer(resource);
    QPixmap pixmap(size * devicePixelRatio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    renderer.render(&painter);
    painter.end();
    pixmap.setDevicePixelRatio(devicePixelRatio);
    return pixmap;
}

QIcon iconFrom(const QString& resource, std::initializer_list<int> sizes) {
    QIcon icon;
    for (const int size : sizes) {
        for (const qreal ratio : {1.0, 2.0})
            icon.addPixmap(render(resource, QSize(size, size), ratio));
    }
    return icon;
}

}  // namespace

QPixmap logoPixmap(QSize size, qreal devicePixelRatio) {
    return render(QStringLiteral(":/proxcred/logo.svg"), size, devicePixelRatio);
}

QIcon copyIcon() {
    return iconFrom(QStringLiteral(":/proxcred/copy.svg"), {16, 24});
}

QIcon applicationIcon() {
    return iconFrom(QStringLiteral(":/proxcred/logo.svg"), {16, 32, 48, 64});
}

}  // namespace proxcred::gui
