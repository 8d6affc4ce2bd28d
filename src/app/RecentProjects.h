#pragma once
// The recent projects list: full paths in menu order (oldest first), at most
// seven, no two alike (exact, case-sensitive). Kept in File.dat, one path a
// line, in the start directory.
#include <QObject>
#include <QStringList>

namespace animora {

class RecentProjects : public QObject {
    Q_OBJECT
public:
    static constexpr int kMaxEntries = 7;
    static constexpr const char* kFileName = "File.dat";

    const QStringList& Entries() const { return entries_; }

    // A path already listed keeps its place; a new one is appended and the
    // oldest dropped when the list grows past seven.
    void Add(const QString& path);

    // Adds every line of File.dat in `directory`, first line first. A missing
    // file is an empty list; blank lines are skipped.
    void ReadFrom(const QString& directory);
    // Replaces File.dat in `directory` with the entries, one a line.
    void WriteTo(const QString& directory) const;

signals:
    void changed();

private:
    QStringList entries_;
};

} // namespace animora
