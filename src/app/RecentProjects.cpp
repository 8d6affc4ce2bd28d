#include "app/RecentProjects.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QTextStream>

#include "platform/Errors.h"

namespace animora {

void RecentProjects::Add(const QString& path)
{
    if (entries_.contains(path, Qt::CaseSensitive))
        return;
    entries_.append(path);
    while (entries_.size() > kMaxEntries)
        entries_.removeFirst();
    emit changed();
}

void RecentProjects::ReadFrom(const QString& directory)
{
    QFile file(QDir(directory).filePath(kFileName));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return;  // a first start has no list yet
    // A hand-edited or damaged file must not flood the menu: only the last
    // lines can survive anyway, so reading stops at a sane size.
    constexpr qint64 kMaxBytes = 1 << 20;
    QTextStream in(file.read(kMaxBytes));
    while (!in.atEnd()) {
        const QString line = in.readLine();
        if (!line.isEmpty())
            Add(line);
    }
}

void RecentProjects::WriteTo(const QString& directory) const
{
    QSaveFile file(QDir(directory).filePath(kFileName));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        throw EFOpenError("Cannot create file \"" + file.fileName().toStdString() + "\"");
    QTextStream out(&file);
    for (const QString& entry : entries_)
        out << entry << '\n';
    out.flush();
    if (!file.commit())
        throw EStreamError("Cannot write file \"" + file.fileName().toStdString() + "\"");
}

} // namespace animora
