#pragma once

#include <QByteArray>
#include <QString>
#include <memory>

class QBuffer;
class QuaZip;

namespace importer {

// A zip file (.docx, .xlsx) read from memory with limits, so that a crafted
// file (a zip bomb, a huge sheet) is refused with a message instead of
// filling memory: entries, bytes per entry, bytes in all and the packing ratio
// are bounded, counted as the bytes come out rather than taken from headers.
class ZipArchive {
public:
    struct Limits {
        int entries = 20000;
        qint64 entryBytes = 256ll * 1024 * 1024;
        qint64 totalBytes = 512ll * 1024 * 1024;
        // Unpacked over packed, for entries beyond a megabyte.
        qint64 ratio = 200;
    };

    // Throws ImportError naming `shownName` when the bytes are no zip.
    ZipArchive(const QByteArray& bytes, const QString& shownName);
    ZipArchive(const QByteArray& bytes, const QString& shownName, const Limits& limits);
    ~ZipArchive();
    ZipArchive(const ZipArchive&) = delete;
    ZipArchive& operator=(const ZipArchive&) = delete;

    bool contains(const QString& entry) const;
    // The entry's bytes; throws ImportError when a limit is passed or the
    // entry is damaged or missing.
    QByteArray read(const QString& entry);

private:
    QByteArray bytes_;
    QString shownName_;
    Limits limits_;
    std::unique_ptr<QBuffer> buffer_;
    std::unique_ptr<QuaZip> zip_;
    qint64 bytesRead_ = 0;
};

} // namespace importer
