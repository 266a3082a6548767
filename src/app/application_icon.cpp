#include "app/application_icon.h"

#include <QApplication>

// The resources live in a static library: the linker keeps them only when
// something names them.
static void loadIconResources()
{
    Q_INIT_RESOURCE(nettor_icons);
}

QIcon applicationIcon()
{
    loadIconResources();
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/nettor-%1.png").arg(size), QSize(size, size));
    return icon;
}

void setApplicationIcon()
{
    QApplication::setWindowIcon(applicationIcon());
}
