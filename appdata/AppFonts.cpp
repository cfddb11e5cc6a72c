#include "appdata/AppFonts.h"

#include <QDebug>
#include <QFontDatabase>
#include <QResource>
#include <QStringList>

namespace AppFonts {

namespace {

// Registers a compiled-in font straight from the program's own bytes: loading it by its path
// would copy each font file onto the heap for the whole run.
int addResourceFont(const QString &path)
{
    const QResource resource(path);
    if (!resource.isValid() || resource.compressionAlgorithm() != QResource::NoCompression)
        return QFontDatabase::addApplicationFont(path);
    return QFontDatabase::addApplicationFontFromData(QByteArray::fromRawData(
        reinterpret_cast<const char *>(resource.data()), int(resource.size())));
}

} // namespace

QString addResourceFamily(const QString &resourcePath)
{
    const QStringList families =
        QFontDatabase::applicationFontFamilies(addResourceFont(resourcePath));
    if (families.isEmpty()) {
        qDebug() << "Failed to load font.";
        return QString();
    }
    return families.first();
}

} // namespace AppFonts
